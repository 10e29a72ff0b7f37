#pragma once

#include <QString>
#include <QStringList>

// The per-user settings store, addressed by application key, section and key. Every call goes
// to the store itself: no caching. A write is on disk, whole, when the call returns. A damaged
// store (its file is not what the store writes) is never written over.
namespace settings {

// The stored text, or defaultValue when the key does not exist (an empty value is returned
// as empty). Throws AppError when the store cannot be read or is damaged.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);
// Throws AppError when the store cannot be written or is damaged.
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
// Where the store of an application key lives (for messages and documentation).
QString location(const QString& application);

// When the store is damaged, moves its file aside unchanged, beside it, under a name that
// says so and when, and starts the store afresh with those of keys in section that could
// still be read from it. Returns where the damaged file went, or an empty text when there
// was nothing to do. Throws AppError when the file could not be moved aside.
QString SetAsideIfDamaged(const QString& application, const QString& section,
                          const QStringList& keys);

} // namespace settings
