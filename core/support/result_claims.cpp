#include "result_claims.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A claim is "<pid>-<random>", holding the claimed file's absolute path.
struct Claim
{
    QString name;
    qint64 pid = 0;
    QString path;
};

bool programRuns(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

// Only a run's result or a print's PDF is ever removed: a claim garbled into another path names
// nothing we made.
bool namesAResult(const QString& path)
{
    static const QRegularExpression result(
        QStringLiteral("^(zanfel[1-9]{8}\\.doc|print-[A-Za-z0-9]{6}\\.pdf)$"));
    return result.match(QFileInfo(path).fileName()).hasMatch();
}

// A regular file of this user, not a link to somebody's file.
bool ownFile(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::geteuid();
}

QList<Claim> claimsIn(const QString& folder)
{
    QList<Claim> claims;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        bool numeric = false;
        const qint64 pid = name.section(QLatin1Char('-'), 0, 0).toLongLong(&numeric);
        QFile file(dir.filePath(name));
        if (!numeric || !ownFile(file.fileName()) || !file.open(QIODevice::ReadOnly)) {
            continue;
        }
        claims.append({name, pid, QString::fromUtf8(file.read(4096))});
    }
    return claims;
}

} // namespace

QString result_claims::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/ticketwright-results");
}

void result_claims::claim(const QString& path, const QString& claims)
{
    if (!QDir().mkpath(claims)) {
        return;
    }
    ::chmod(QFile::encodeName(claims).constData(), 0700);
    const QString name = QStringLiteral("%1-%2")
                             .arg(::getpid())
                             .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    const int fd = ::open(QFile::encodeName(claims + QLatin1Char('/') + name).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    const QByteArray target = QFileInfo(path).absoluteFilePath().toUtf8();
    const bool written = ::write(fd, target.constData(), static_cast<size_t>(target.size())) ==
                         static_cast<ssize_t>(target.size());
    ::close(fd);
    if (!written) {
        QFile::remove(claims + QLatin1Char('/') + name);
    }
}

void result_claims::release(const QString& claims)
{
    for (const Claim& claim : claimsIn(claims)) {
        if (claim.pid == ::getpid() && !QFileInfo::exists(claim.path)) {
            QFile::remove(claims + QLatin1Char('/') + claim.name);
        }
    }
}

void result_claims::sweep(const QString& claims)
{
    const QList<Claim> all = claimsIn(claims);
    QHash<QString, bool> inUse;
    for (const Claim& claim : all) {
        inUse[claim.path] = inUse.value(claim.path) || programRuns(claim.pid);
    }
    for (const Claim& claim : all) {
        if (programRuns(claim.pid)) {
            continue;
        }
        // A file that a running program claimed too is that program's now.
        if (!inUse.value(claim.path) && namesAResult(claim.path) && ownFile(claim.path)) {
            QFile::remove(claim.path);
        }
        QFile::remove(claims + QLatin1Char('/') + claim.name);
    }
}
