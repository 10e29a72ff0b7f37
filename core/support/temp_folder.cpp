#include "temp_folder.h"

#include "app_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString temp_folder::privatePath()
{
    // The runtime folder is private to the user by definition; the cache folder is the
    // fallback on systems without one.
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QDir(base).exists()) {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    }
    return base + QStringLiteral("/ticketwright");
}

QString temp_folder::path()
{
    const QString fromEnvironment = qEnvironmentVariable("TEMP");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    const QString folder = privatePath();
    const QByteArray native = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        throw AppError(
            QStringLiteral("Cannot create the folder %1: %2").arg(folder, reason(errno)));
    }
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0) {
        throw AppError(QStringLiteral("Cannot use the folder %1: %2").arg(folder, reason(errno)));
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        throw AppError(QStringLiteral("The folder %1 is not a private folder of this user; "
                                      "remove it and try again.")
                           .arg(folder));
    }
    return folder;
}

QString temp_folder::file(const QString& name)
{
    return path() + QLatin1Char('/') + name;
}
