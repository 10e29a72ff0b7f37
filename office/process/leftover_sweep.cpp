#include "leftover_sweep.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace word {
namespace {

// The office's socket file for a pipe of that name.
QString socketName(const QString& pipeName)
{
    return QStringLiteral("OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
}

// The id of the program that made a leftover of this name, when the name is of exactly the
// form the program writes; nothing for anything else, which is never ours.
std::optional<qint64> ownerPid(const QString& name, const QRegularExpression& form)
{
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    bool numeric = false;
    const qint64 pid = match.captured(1).toLongLong(&numeric);
    return numeric && pid > 0 ? std::optional(pid) : std::nullopt;
}

bool processExists(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Of this user, and of the kind asked for: never a link.
bool ownEntry(const QString& path, mode_t kind)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           (info.st_mode & S_IFMT) == kind && info.st_uid == ::getuid();
}

} // namespace

LeftoverSweep::LeftoverSweep(const QString& tempFolder, const QString& socketFolder)
    : mTempFolder(tempFolder), mSocketFolder(socketFolder)
{}

QString LeftoverSweep::socketPath(const QString& pipeName)
{
    return defaultSocketFolder() + QLatin1Char('/') + socketName(pipeName);
}

QString LeftoverSweep::instanceSocketName(const QString& profileUrl)
{
    // The office hashes the URL's UTF-16 units and writes each byte of the hash in hexadecimal
    // without leading zeros.
    QByteArray units;
    for (const QChar unit : profileUrl) {
        units.append(static_cast<char>(unit.unicode() & 0xff));
        units.append(static_cast<char>(unit.unicode() >> 8));
    }
    QString hash;
    for (const char byte : QCryptographicHash::hash(units, QCryptographicHash::Md5)) {
        hash += QString::number(static_cast<unsigned char>(byte), 16);
    }
    return socketName(QStringLiteral("SingleOfficeIPC_") + hash);
}

QString LeftoverSweep::instanceSocketPath(const QString& profileUrl)
{
    return defaultSocketFolder() + QLatin1Char('/') + instanceSocketName(profileUrl);
}

QString LeftoverSweep::profileUrlOf(const QString& folder)
{
    return QUrl::fromLocalFile(folder + QStringLiteral("/profile")).toString();
}

void LeftoverSweep::once()
{
    static std::once_flag swept;
    std::call_once(swept, [] { LeftoverSweep(QDir::tempPath()).run(); });
}

void LeftoverSweep::run() const
{
    removeFolders();
    removeSockets();
}

void LeftoverSweep::removeFolders() const
{
    // mkdtemp's six letters and digits after the program's id.
    static const QRegularExpression form(
        QStringLiteral("^%1([0-9]+)-[A-Za-z0-9]{6}$").arg(QLatin1String(kFolderPrefix)));
    const QDir temp(mTempFolder);
    for (const QString& name : temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const std::optional<qint64> pid = ownerPid(name, form);
        const QString folder = temp.absoluteFilePath(name);
        if (!pid || processExists(*pid) || !ownEntry(folder, S_IFDIR) ||
            !ownEntry(folder + QLatin1Char('/') + QLatin1String(kFolderMark), S_IFREG)) {
            continue;
        }
        // Its office's single-instance socket is named after the profile inside it.
        const QString instanceSocket =
            QDir(mSocketFolder).filePath(instanceSocketName(profileUrlOf(folder)));
        if (ownEntry(instanceSocket, S_IFSOCK)) {
            QFile::remove(instanceSocket);
        }
        QDir(folder).removeRecursively();
    }
}

void LeftoverSweep::removeSockets() const
{
    // The pipe's name: the program's id, a count and eight hexadecimal digits.
    static const QRegularExpression form(
        QStringLiteral("^%1([0-9]+)-[0-9]+-[0-9a-f]{8}$")
            .arg(QRegularExpression::escape(socketName(QLatin1String(kPipePrefix)))));
    const QDir sockets(mSocketFolder);
    for (const QString& name : sockets.entryList(QDir::System | QDir::Files | QDir::Hidden)) {
        const std::optional<qint64> pid = ownerPid(name, form);
        if (pid && !processExists(*pid) && ownEntry(sockets.filePath(name), S_IFSOCK)) {
            QFile::remove(sockets.filePath(name));
        }
    }
}

} // namespace word
