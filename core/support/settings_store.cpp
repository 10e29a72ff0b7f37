#include "settings_store.h"

#include "app_error.h"
#include "ini_text.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QSysInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

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

// The store writes UTF-8 text and escapes every control character but the line breaks. Qt's
// own reading is lenient: it takes most other bytes for keys and values, and a write would then
// replace the file with those.
bool writtenByTheStore(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return false;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
            return false;
        }
    }
    return true;
}

QByteArray contentOf(const QString& fileName)
{
    QFile file(fileName);
    // A file that is missing or cannot be opened is no damage; the store reports it itself.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Cheap enough for every keystroke. Qt reports a format error only to the first reader of a
// changed file, so a later store may look sound when it is not; SetAsideIfDamaged reads afresh.
bool damaged(const QSettings& store)
{
    return store.status() == QSettings::FormatError ||
           !writtenByTheStore(contentOf(store.fileName()));
}

// Whether Qt's reader finds fault with bytes when it reads them for the first time: through a
// private copy, as the store's own file may have been read already.
bool readsWithFault(const QByteArray& bytes)
{
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        return false; // cannot tell
    }
    QSettings reader(copy.fileName(), QSettings::IniFormat);
    reader.allKeys(); // sections are read only when asked for
    return reader.status() == QSettings::FormatError;
}

[[noreturn]] void throwDamaged(const QSettings& store, const char* what)
{
    throw AppError(QStringLiteral("The settings store %1 cannot be %2: its content is damaged, "
                                  "and it is left as it is.")
                       .arg(store.fileName(), QString::fromLatin1(what)));
}

// "<file>.damaged-<date>-<time>", with a count added should that name be taken.
QString keptName(const QString& file)
{
    const QString base = file + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) {
        name = base + QLatin1Char('-') + QString::number(n);
    }
    return name;
}

#ifdef Q_OS_UNIX
bool processAlive(pid_t pid)
{
    if (::kill(pid, 0) != 0 && errno != EPERM) {
        return false;
    }
    // An ended program that its parent has not reaped yet still answers to kill().
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state <= 1 || state >= line.size() || line.at(state) != 'Z';
}

// A write takes "<store>.lock" first, and waits up to 30 s for a lock whose writer it cannot
// tell is gone: one killed before it wrote its id into the lock leaves it empty. A lock that no
// live process holds (a writer keeps it locked with flock while it writes) and that names no live
// writer of this machine is taken away at once, as the lock's own check does for a whole one.
void clearStaleLock(const QString& storeFile)
{
    const QByteArray lock = QFile::encodeName(storeFile + QStringLiteral(".lock"));
    const int fd = ::open(lock.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        char bytes[512];
        const ssize_t size = ::pread(fd, bytes, sizeof bytes, 0);
        const QList<QByteArray> lines =
            QByteArray(bytes, size > 0 ? static_cast<qsizetype>(size) : 0).split('\n');
        bool numeric = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&numeric);
        const QByteArray host = lines.value(2).trimmed();
        const bool thisMachine = host.isEmpty() || host == QSysInfo::machineHostName().toUtf8();
        if (thisMachine && (!numeric || pid <= 0 || !processAlive(static_cast<pid_t>(pid)))) {
            ::unlink(lock.constData());
        }
    }
    ::close(fd);
}
#else
void clearStaleLock(const QString&) {} // the store is no file there
#endif

} // namespace

QString settings::GetSetting(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    const auto store = openStore(application);
    if (damaged(*store)) {
        throwDamaged(*store, "read");
    }
    if (store->status() != QSettings::NoError) {
        throw AppError(QStringLiteral("The settings store %1 cannot be read: %2")
                           .arg(store->fileName(), statusText(store->status())));
    }
    store->beginGroup(section);
    if (!store->contains(key)) {
        return defaultValue;
    }
#ifdef Q_OS_UNIX
    // The file may have been edited by hand: its text is read as written (ini_text.h).
    const auto values = ini_text::section(QString::fromUtf8(contentOf(store->fileName())), section);
    if (const auto found = values.constFind(key); found != values.cend()) {
        if (!found->has_value()) {
            throw AppError(QStringLiteral("The settings store %1 cannot be read: the value of %2 "
                                          "is not text.")
                               .arg(store->fileName(), key));
        }
        return **found;
    }
#endif
    return store->value(key).toString();
}

void settings::SaveSetting(const QString& application, const QString& section, const QString& key,
                           const QString& value)
{
    const auto store = openStore(application);
    if (damaged(*store)) {
        throwDamaged(*store, "written");
    }
    clearStaleLock(store->fileName());
    store->beginGroup(section);
    store->setValue(key, value);
    store->endGroup();
    store->sync();
    if (store->status() != QSettings::NoError) {
        throw AppError(QStringLiteral("The settings store %1 cannot be written: %2")
                           .arg(store->fileName(), statusText(store->status())));
    }
}

QString settings::location(const QString& application)
{
    return openStore(application)->fileName();
}

QString settings::SetAsideIfDamaged(const QString& application, const QString& section,
                                    const QStringList& keys)
{
    const QString file = location(application);
    const QByteArray bytes = contentOf(file);
    if (writtenByTheStore(bytes) && !readsWithFault(bytes)) {
        return {};
    }
    const QString kept = keptName(file);
    if (std::rename(QFile::encodeName(file).constData(), QFile::encodeName(kept).constData()) !=
        0) {
        throw AppError(QStringLiteral("The settings store %1 is damaged and could not be moved "
                                      "aside: %2. It is left as it is.")
                           .arg(file, QString::fromLocal8Bit(std::strerror(errno))));
    }

    // Read from the kept file, under its new name; only what reads as text counts.
    QSettings old(kept, QSettings::IniFormat);
    old.beginGroup(section);
    QList<std::pair<QString, QString>> readable;
    for (const QString& key : keys) {
        const QVariant value = old.value(key);
        if (value.typeId() == QMetaType::QString &&
            !value.toString().contains(QChar::ReplacementCharacter)) {
            readable.append({key, value.toString()});
        }
    }

    // Cleared first: the store may still remember what it read from the damaged file.
    const auto store = openStore(application);
    store->clear();
    store->beginGroup(section);
    for (const auto& [key, value] : readable) {
        store->setValue(key, value);
    }
    store->endGroup();
    store->sync();
    if (store->status() != QSettings::NoError) {
        throw AppError(QStringLiteral("The damaged settings store %1 was kept as %2, but a new one "
                                      "cannot be written: %3")
                           .arg(file, kept, statusText(store->status())));
    }
    return kept;
}
