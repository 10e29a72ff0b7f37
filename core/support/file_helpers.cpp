#include "file_helpers.h"

#include "app_error.h"
#include "end_signals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

namespace {

// Writes bytes at the start of the open file fd and closes it. Returns 0, or the reason the
// write or the close failed.
int writeAndClose(int fd, const QByteArray& bytes)
{
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
            return error;
        }
        written += n;
    }
    return ::close(fd) == 0 ? 0 : errno;
}

// Writes bytes to a fresh file beside path, under a name no one else has, and returns that name.
// A failure removes the fresh file and throws, so no partial file is left.
QByteArray writeBeside(const QByteArray& bytes, const QString& path)
{
    const QFileInfo info(path);
    QByteArray scratch =
        QFile::encodeName(info.dir().filePath(QStringLiteral(".") + info.fileName())) + ".XXXXXX";
    const int fd = ::mkostemp(scratch.data(), O_CLOEXEC); // O_EXCL, mode 0600
    if (fd < 0) {
        throw AppError(QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(errno)));
    }
    if (const int error = writeAndClose(fd, bytes)) {
        ::unlink(scratch.constData());
        throw AppError(QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(error)));
    }
    return scratch;
}

// File systems without hard links (vfat, exfat, many network mounts) refuse one this way.
bool linksRefused(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

// Creates path, only if nothing has the name (a link there is not followed), and writes bytes
// to it; a failed write removes it again.
void createExclusively(const QByteArray& bytes, const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) {
            return; // someone made it in the meantime, and theirs is used
        }
        throw AppError(QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(errno)));
    }
    if (const int error = writeAndClose(fd, bytes)) {
        ::unlink(native.constData());
        throw AppError(QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(error)));
    }
}

} // namespace

namespace {

std::function<void()>& pendingEvents()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void setPendingEventsHook(std::function<void()> hook)
{
    pendingEvents() = std::move(hook);
}

void WriteFileIfMissing(const QByteArray& bytes, const QString& path)
{
    if (pendingEvents()) {
        pendingEvents()();
    }
    if (FileExists(path)) {
        return;
    }
    // Written whole under another name, then given its name by a hard link, which never
    // replaces anything: another copy of the program never sees half a file, and a link
    // planted under the name is neither followed nor replaced.
    const QByteArray scratch = writeBeside(bytes, path);
    const QByteArray native = QFile::encodeName(path);
    const int linked = ::link(scratch.constData(), native.constData());
    const int error = errno;
    ::unlink(scratch.constData());
    if (linked == 0 || error == EEXIST) {
        // EEXIST: someone made the file in the meantime, and theirs is used, as it would have been.
        return;
    }
    if (!linksRefused(error)) {
        throw AppError(QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(error)));
    }
    // Without hard links the file is made under its own name: still never replacing anything
    // or following a link, and never left half written by a failure, though another copy of
    // the program may see it while it is being written.
    createExclusively(bytes, path);
}

void WriteFileReplacing(const QByteArray& bytes, const QString& path)
{
    const QByteArray scratch = writeBeside(bytes, path);
    // A rename replaces a link that is in the way, never what it points to.
    if (::rename(scratch.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(scratch.constData());
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

bool IsReadOnlyFile(const QString& path)
{
    const QFileInfo existing(path);
    return !existing.isSymLink() && existing.isFile() &&
           (!existing.isWritable() || !(existing.permissions() & QFileDevice::WriteOwner));
}

void DeleteFileQuietly(const QString& path)
{
    if (!path.isEmpty()) {
        ::unlink(QFile::encodeName(path).constData());
    }
}

QString MakeScratchBeside(const QString& path)
{
    const QFileInfo info(path);
    QByteArray scratch = QFile::encodeName(info.dir().filePath(
                             QStringLiteral(".") + info.fileName() + QStringLiteral(".part"))) +
                         ".XXXXXX";
    const int fd = ::mkostemp(scratch.data(), O_CLOEXEC);
    if (fd < 0) {
        throw AppError(QStringLiteral("Cannot create file %1: %2").arg(path, systemReason(errno)));
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return QFile::decodeName(scratch);
}

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

[[noreturn]] void failOn(const QString& what, const QString& path, const QString& reason)
{
    throw AppError(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

// The rest of in appended to out, a chunk at a time; throws naming the file that failed.
void copyBytes(QFile& in, QFileDevice& out, const QString& source, const QString& target)
{
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            failOn(QStringLiteral("Cannot read file"), source, in.errorString());
        }
        if (out.write(chunk) != chunk.size()) {
            failOn(QStringLiteral("Cannot write file"), target, out.errorString());
        }
    }
}

} // namespace

void CopyFileContent(const QString& source, const QString& target)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly)) {
        failOn(QStringLiteral("Cannot read file"), source, in.errorString());
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failOn(QStringLiteral("Cannot write file"), target, out.errorString());
    }
    copyBytes(in, out, source, target);
    if (!out.flush() || ::fsync(out.handle()) != 0) {
        failOn(QStringLiteral("Cannot write file"), target, out.errorString());
    }
}

void RequireReplaceable(const QString& target)
{
    const QFileInfo existing(target);
    if (existing.exists() &&
        (!existing.isWritable() || !(existing.permissions() & QFileDevice::WriteOwner))) {
        failOn(QStringLiteral("Cannot replace file"), target, QStringLiteral("Permission denied"));
    }
}

void CopyFileReplacing(const QString& source, const QString& target)
{
    // A local copy ends by itself; an ending on a signal lets it finish rather than leave the
    // copy's scratch file beside the person's.
    const EndSignals::Hold finish;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        failOn(QStringLiteral("Cannot read file"), source, in.errorString());
    }
    RequireReplaceable(target);
    // Not committed, the scratch file goes with it.
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        failOn(QStringLiteral("Cannot write file"), target, out.errorString());
    }
    copyBytes(in, out, source, target);
    if (!out.commit()) {
        failOn(QStringLiteral("Cannot write file"), target, out.errorString());
    }
}

bool MoveIntoPlace(const QString& from, const QString& path, bool replace)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(path);
    const auto fail = [&](int error) {
        return AppError(QStringLiteral("Cannot write file %1: %2").arg(path, systemReason(error)));
    };
    if (replace) {
        if (::rename(source.constData(), target.constData()) != 0) {
            throw fail(errno);
        }
        return true;
    }
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        throw fail(errno);
    }
    // A file system without the one-step rename: a hard link never replaces either.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    if (!linksRefused(errno)) {
        throw fail(errno);
    }
    // Nor hard links: the name is taken first, then the file renamed over what we took.
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) {
            return false;
        }
        throw fail(errno);
    }
    ::close(fd);
    if (::rename(source.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(target.constData());
        throw fail(error);
    }
    return true;
}
