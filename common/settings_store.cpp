#include "settings_store.h"

#include "app_error.h"

#include <QSettings>

#include <memory>

namespace {

// One store per application key: the native per-user format (a file under the user's
// configuration folder here, the registry on Windows), written through an atomic rename.
std::unique_ptr<QSettings> openStore(const QString& application)
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
}

QString statusText(QSettings::Status status)
{
    return status == QSettings::FormatError ? QStringLiteral("its content is not readable")
                                            : QStringLiteral("it cannot be accessed");
}

} // namespace

QString SettingsStore::GetSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue)
{
    const auto store = openStore(application);
    if (store->status() != QSettings::NoError) {
        throw AppError(QStringLiteral("The settings store %1 cannot be read: %2")
                           .arg(store->fileName(), statusText(store->status())));
    }
    store->beginGroup(section);
    if (!store->contains(key)) {
        return defaultValue;
    }
    return store->value(key).toString();
}

void SettingsStore::SaveSetting(const QString& application, const QString& section,
                                const QString& key, const QString& value)
{
    const auto store = openStore(application);
    store->beginGroup(section);
    store->setValue(key, value);
    store->endGroup();
    store->sync();
    if (store->status() != QSettings::NoError) {
        throw AppError(QStringLiteral("The settings store %1 cannot be written: %2")
                           .arg(store->fileName(), statusText(store->status())));
    }
}

QString SettingsStore::location(const QString& application)
{
    return openStore(application)->fileName();
}
