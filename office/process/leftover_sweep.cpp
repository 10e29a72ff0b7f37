#include "leftover_sweep.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <mutex>
#include <unistd.h>

namespace word {
namespace {

// The office's socket file for a pipe of that name.
QString socketName(const QString& pipeName)
{
    return QStringLiteral("OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
}

QString socketPrefix()
{
    return socketName(QString::fromLatin1(LeftoverSweep::kPipePrefix));
}

// The program id that follows the prefix in a leftover's name.
qint64 ownerPid(const QString& name, const QString& prefix)
{
    return name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong();
}

bool processExists(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
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
    const QString prefix = QString::fromLatin1(kFolderPrefix);
    const QDir temp(mTempFolder);
    for (const QString& name :
         temp.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks)) {
        const QFileInfo info(temp.filePath(name));
        if (info.ownerId() == ::getuid() && !processExists(ownerPid(name, prefix))) {
            // Its office's single-instance socket is named after the profile inside it.
            QFile::remove(QDir(mSocketFolder)
                              .filePath(instanceSocketName(profileUrlOf(info.absoluteFilePath()))));
            QDir(info.filePath()).removeRecursively();
        }
    }
}

void LeftoverSweep::removeSockets() const
{
    const QString prefix = socketPrefix();
    const QDir sockets(mSocketFolder);
    for (const QString& name :
         sockets.entryList({prefix + QLatin1Char('*')}, QDir::System | QDir::Files)) {
        if (!processExists(ownerPid(name, prefix))) {
            QFile::remove(sockets.filePath(name));
        }
    }
}

} // namespace word
