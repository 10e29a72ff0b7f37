#include "profile_seed.h"

#include "notice.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace word {
namespace {

constexpr char kManifestHeader[] = "ticketwright profile seed 1";
// Seeds kept besides a new one: those used last. An office or settings changed for good leave
// theirs unused, and each would otherwise stay in the cache for ever.
constexpr int kOtherSeedsKept = 3;
// A half-copied seed or one half removed is another program's work in progress until then.
constexpr int kLeftoverSeconds = 3600;

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

QByteArray hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

bool syncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Writes bytes as a new file; with sync, on the disk when it returns.
bool writeFile(const QString& path, const QByteArray& bytes, bool sync)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        return false;
    }
    return !sync || ::fsync(file.handle()) == 0;
}

struct Entry
{
    qint64 size = -1;
    QByteArray hash;
};

// What a manifest lists: files with their size and hash, and folders (size -1).
std::optional<QHash<QString, Entry>> readManifest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.readLine().trimmed() != kManifestHeader) {
        return std::nullopt;
    }
    QHash<QString, Entry> entries;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (!line.endsWith('\n')) {
            return std::nullopt; // cut short
        }
        const QList<QByteArray> parts = line.chopped(1).split(' ');
        if (parts.size() != 3 || parts[2].isEmpty()) {
            return std::nullopt;
        }
        bool numeric = false;
        Entry entry{parts[0].toLongLong(&numeric), parts[1]};
        if (!numeric) {
            return std::nullopt;
        }
        entries.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(parts[2])), entry);
    }
    return entries;
}

// Every folder and regular file under root, by path relative to it; the manifest left out.
QStringList treeOf(const QString& root)
{
    QStringList paths;
    QDirIterator entries(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    const QDir base(root);
    while (entries.hasNext()) {
        const QString path = base.relativeFilePath(entries.next());
        if (path != QLatin1String(ProfileSeed::kManifest)) {
            paths.append(path);
        }
    }
    return paths;
}

enum class Copy
{
    Done,
    Damaged,
    Failed
};

// Copies the seed at from into to, checking each file against the manifest as it goes: Damaged
// at the first difference, Failed when the copy could not be written.
Copy copyChecked(const QString& from, const QString& to, const QHash<QString, Entry>& manifest)
{
    const QStringList paths = treeOf(from);
    if (paths.size() != manifest.size()) {
        return Copy::Damaged;
    }
    for (const QString& path : paths) {
        const auto listed = manifest.constFind(path);
        const QFileInfo info(from + QLatin1Char('/') + path);
        if (listed == manifest.cend() || info.isSymLink()) {
            return Copy::Damaged;
        }
        const QString target = to + QLatin1Char('/') + path;
        if (listed->size < 0) {
            if (!info.isDir()) {
                return Copy::Damaged;
            }
            if (!QDir().mkpath(target)) {
                return Copy::Failed;
            }
            continue;
        }
        QFile source(info.filePath());
        if (!info.isFile() || info.size() != listed->size || !source.open(QIODevice::ReadOnly)) {
            return Copy::Damaged;
        }
        const QByteArray bytes = source.readAll();
        if (bytes.size() != listed->size || hashOf(bytes) != listed->hash) {
            return Copy::Damaged;
        }
        if (!QDir().mkpath(QFileInfo(target).path()) || !writeFile(target, bytes, false)) {
            return Copy::Failed;
        }
    }
    return Copy::Done;
}

// Copies a profile to to, every file synced, and writes the manifest last, synced too.
bool copyWithManifest(const QString& from, const QString& to)
{
    QByteArray manifest = QByteArray(kManifestHeader) + '\n';
    for (const QString& path : treeOf(from)) {
        const QFileInfo info(from + QLatin1Char('/') + path);
        const QString target = to + QLatin1Char('/') + path;
        const QByteArray name = path.toUtf8().toPercentEncoding("/");
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir().mkpath(target)) {
                return false;
            }
            manifest += "-1 - " + name + '\n';
            continue;
        }
        if (!info.isFile() || info.isSymLink()) {
            continue; // sockets, links: nothing a profile needs to start
        }
        QFile source(info.filePath());
        if (!source.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray bytes = source.readAll();
        if (!QDir().mkpath(QFileInfo(target).path()) || !writeFile(target, bytes, true)) {
            return false;
        }
        manifest += QByteArray::number(bytes.size()) + ' ' + hashOf(bytes) + ' ' + name + '\n';
    }
    for (const QString& folder : treeOf(to)) {
        syncPath(to + QLatin1Char('/') + folder);
    }
    return writeFile(to + QLatin1Char('/') + QLatin1String(ProfileSeed::kManifest), manifest,
                     true) &&
           syncPath(to);
}

// Out of the seed's name at once, so that a new one can be kept there, then removed.
void removeSeedFolder(const QString& folder)
{
    const QString aside = QStringLiteral("%1.gone-%2-%3")
                              .arg(folder)
                              .arg(::getpid())
                              .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    if (std::rename(QFile::encodeName(folder).constData(), QFile::encodeName(aside).constData()) !=
        0) {
        return;
    }
    const QFileInfo moved(aside);
    if (moved.isDir() && !moved.isSymLink()) {
        QDir(aside).removeRecursively();
    } else {
        QFile::remove(aside);
    }
}

// When a seed was last used: its manifest's time, which each use renews.
QDateTime lastUse(const QString& seed)
{
    const QFileInfo manifest(seed + QLatin1Char('/') + QLatin1String(ProfileSeed::kManifest));
    return (manifest.exists() ? manifest : QFileInfo(seed)).lastModified();
}

// Removes the seeds beside current that were used longest ago, and what an interrupted keep or
// removal left behind. Another program copying one of them at that moment finds it damaged and
// sets its profile up itself.
void pruneBeside(const QString& current)
{
    const QFileInfo self(current);
    const QDir cache = self.dir();
    static const QRegularExpression seedFolderName(QStringLiteral("^office-[0-9a-f]{16}$"));
    const QDateTime leftoverBefore = QDateTime::currentDateTime().addSecs(-kLeftoverSeconds);
    QList<std::pair<QDateTime, QString>> others;
    for (const QFileInfo& entry :
         cache.entryInfoList({QStringLiteral("office-*")},
                             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.fileName() == self.fileName()) {
            continue;
        }
        const QString path = entry.absoluteFilePath();
        if (seedFolderName.match(entry.fileName()).hasMatch() && entry.isDir() &&
            !entry.isSymLink()) {
            others.append({lastUse(path), path});
        } else if (entry.lastModified() < leftoverBefore) {
            removeSeedFolder(path);
        }
    }
    std::sort(others.begin(), others.end(), std::greater<>());
    for (qsizetype k = kOtherSeedsKept; k < others.size(); ++k) {
        removeSeedFolder(others[k].second);
    }
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
    if (mFolder.isEmpty()) {
        return false;
    }
    const QFileInfo seed(mFolder);
    if (!seed.exists() && !seed.isSymLink()) {
        return false;
    }
    const auto manifest = seed.isDir()
                              ? readManifest(mFolder + QLatin1Char('/') + QLatin1String(kManifest))
                              : std::nullopt;
    const Copy copied = manifest ? copyChecked(mFolder, profile, *manifest) : Copy::Damaged;
    if (copied == Copy::Done) {
        // Used now: the seeds used longest ago are the ones a new seed makes room by.
        ::utimensat(
            AT_FDCWD,
            QFile::encodeName(mFolder + QLatin1Char('/') + QLatin1String(kManifest)).constData(),
            nullptr, 0);
        return true;
    }
    QDir(profile).removeRecursively();
    // A copy that failed on a full disk says nothing of the seed.
    if (copied == Copy::Damaged) {
        discard(manifest ? QStringLiteral("it differs from its manifest")
                         : QStringLiteral("it has no readable manifest"));
    }
    return false;
}

void ProfileSeed::discard(const QString& why) const
{
    if (mFolder.isEmpty() || (!QFileInfo::exists(mFolder) && !QFileInfo(mFolder).isSymLink())) {
        return;
    }
    notice::line(QStringLiteral("the kept office profile %1 is not used and is removed: %2; this "
                                "office sets its profile up itself")
                     .arg(mFolder, why));
    removeSeedFolder(mFolder);
}

void ProfileSeed::keep(const QString& profile) const
{
    if (mFolder.isEmpty() || QFileInfo::exists(mFolder) || QFileInfo(mFolder).isSymLink()) {
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
    if (!copyWithManifest(profile, copy) ||
        std::rename(partial.constData(), QFile::encodeName(mFolder).constData()) != 0) {
        QDir(copy).removeRecursively();
        return;
    }
    syncPath(cache);
    pruneBeside(mFolder);
}

} // namespace word
