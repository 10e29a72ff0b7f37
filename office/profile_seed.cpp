#include "profile_seed.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace word {
namespace {

QString seedName(const QString& officeProgram, const QByteArray& settings)
{
    const QFileInfo program(officeProgram);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(program.absoluteFilePath().toUtf8());
    hash.addData(QByteArray::number(program.size()));
    hash.addData(QByteArray::number(program.lastModified().toMSecsSinceEpoch()));
    hash.addData(settings);
    return QStringLiteral("office-") + QString::fromLatin1(hash.result().toHex().left(16));
}

// Files and folders under from, copied to to; false at the first that fails.
bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to)) {
        return false;
    }
    QDirIterator entries(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    const QDir source(from);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(entry.filePath());
        const bool copied = entry.isDir() && !entry.isSymLink()
                                ? QDir().mkpath(target)
                                : entry.isFile() && QFile::copy(entry.filePath(), target);
        if (!copied) {
            return false;
        }
    }
    return true;
}

} // namespace

ProfileSeed::ProfileSeed(const QString& officeProgram, const QByteArray& settings)
    : ProfileSeed(officeProgram, settings,
                  QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                      QStringLiteral("/ticketwright-profiles"))
{}

ProfileSeed::ProfileSeed(const QString& officeProgram, const QByteArray& settings,
                         const QString& cacheFolder)
{
    // No home to cache in: no seed.
    if (!cacheFolder.startsWith(QLatin1Char('/'))) {
        return;
    }
    mFolder = cacheFolder + QLatin1Char('/') + seedName(officeProgram, settings);
}

bool ProfileSeed::copyInto(const QString& profile) const
{
    if (mFolder.isEmpty() || !QFileInfo(mFolder + QStringLiteral("/user")).isDir()) {
        return false;
    }
    if (copyTree(mFolder, profile)) {
        return true;
    }
    QDir(profile).removeRecursively();
    return false;
}

void ProfileSeed::keep(const QString& profile) const
{
    if (mFolder.isEmpty() || QFileInfo::exists(mFolder)) {
        return;
    }
    const QString cache = QFileInfo(mFolder).path();
    if (!QDir().mkpath(cache)) {
        return;
    }
    ::chmod(QFile::encodeName(cache).constData(), 0700);
    // Copied beside it and renamed into place, so no office ever starts on half a seed; of two
    // programs keeping one at once, the second rename fails and its copy goes.
    QByteArray partial = QFile::encodeName(mFolder) + ".XXXXXX";
    if (!::mkdtemp(partial.data())) {
        return;
    }
    const QString copy = QFile::decodeName(partial);
    if (!copyTree(profile, copy) ||
        std::rename(partial.constData(), QFile::encodeName(mFolder).constData()) != 0) {
        QDir(copy).removeRecursively();
    }
}

} // namespace word
