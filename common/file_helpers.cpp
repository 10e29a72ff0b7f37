#include "file_helpers.h"

#include "app_error.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool FileExists(const QString& path)
{
    if (path.isEmpty() || path.contains(QLatin1Char('*')) || path.contains(QLatin1Char('?'))) {
        return false;
    }
    // A link counts as there even when it leads nowhere: a name taken by a link is never
    // written through.
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

void WriteFileIfMissing(const QByteArray& bytes, const QString& path)
{
    QCoreApplication::processEvents();
    if (FileExists(path)) {
        return;
    }
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL refuses anything already there, a dangling link included.
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw AppError(QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(errno)));
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(native.constData());
            throw AppError(
                QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(error)));
        }
        written += n;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(native.constData());
        throw AppError(QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(error)));
    }
}

void RequireOwnRegularFile(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        throw AppError(QStringLiteral("Cannot open %1: %2").arg(path, systemReason(errno)));
    }
    if (!S_ISREG(info.st_mode)) {
        throw AppError(QStringLiteral("%1 is not a plain file; it was not opened.").arg(path));
    }
    if (info.st_uid != ::geteuid()) {
        throw AppError(QStringLiteral("%1 belongs to another user; it was not opened.").arg(path));
    }
}

void DeleteFileQuietly(const QString& path)
{
    if (!path.isEmpty()) {
        ::unlink(QFile::encodeName(path).constData());
    }
}

QImage GetClipboardPicture(int format)
{
    Q_UNUSED(format); // every picture format the clipboard offers is accepted
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return {};
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QImage picture = clipboard->image();
        if (!picture.isNull()) {
            return picture;
        }
    }
    return {};
}
