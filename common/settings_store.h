#pragma once

#include <QString>

// The per-user settings store, addressed by application key, section and key. Every call goes
// to the store itself: no caching. A write is on disk, whole, when the call returns.
class SettingsStore
{
public:
    // The stored text, or defaultValue when the key does not exist (an empty value is returned
    // as empty). Throws AppError when the store cannot be read.
    static QString GetSetting(const QString& application, const QString& section,
                              const QString& key, const QString& defaultValue);
    // Throws AppError when the store cannot be written.
    static void SaveSetting(const QString& application, const QString& section, const QString& key,
                            const QString& value);
    // Where the store of an application key lives (for messages and documentation).
    static QString location(const QString& application);
};
