#include "app_identity.h"
#include "is_installed.h"
#include "leftover_sweep.h"
#include "office_probe.h"
#include "office_process.h"
#include "profile_seed.h"
#include "program_launcher.h"
#include "random_bytes.h"
#include "scoped_environment.h"
#include "scripted_seams.h"
#include "test_files.h"
#include "watchdog.h"
#include "word_automation.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// When the office lives and when it ends, and the start-up check built on that.
class TestOfficeLifetime : public QObject
{
    Q_OBJECT

private slots:
    void quitEndsTheOfficeAndRemovesItsFolder();
    void destroyingWithoutQuitEndsTheOffice();
    void terminateAllInstancesEndsEveryOffice();
    void killedProgramTakesItsOfficeAlong();
    void twoInstancesDoNotShareAnOffice();
    void aDocumentOutlivingItsOfficeRefusesEveryCall();
    void laterOfficesStartOnTheFirstOnesProfile();
    void aDamagedSeedCostsOnlyTheSaving_data();
    void aDamagedSeedCostsOnlyTheSaving();
    void aNewSeedMakesRoomByTheSeedsUsedLongestAgo();
    void aFailedWarmingCostsOnlyTheSaving_data();
    void aFailedWarmingCostsOnlyTheSaving();
    void anOfficeKilledAsTheEditorLoadsIsNoVerdictOnIt();
    void unavailableOfficeFailsQuickly();
    void watchdogGivesUpOnlyAStalledCall_data();
    void watchdogGivesUpOnlyAStalledCall();
    void sweepRemovesOnlyLeftoversOfEndedPrograms();
    void checkPassesQuietlyWhenTheOfficeStarts();
    void checkExplainsAndEndsWhenTheOfficeIsUnavailable();

private:
    static QStringList ownOfficeFolders()
    {
        return QDir(QDir::tempPath())
            .entryList({QStringLiteral("ticketwright-office-%1-*").arg(getpid())}, QDir::Dirs);
    }
};

void TestOfficeLifetime::quitEndsTheOfficeAndRemovesItsFolder()
{
    auto app = word::Application::create();
    QCOMPARE(probe::officeChildrenOf(getpid()).size(), 1);
    QCOMPARE(ownOfficeFolders().size(), 1);
    app->quit();
    QVERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    // The folder goes once the event loop runs.
    QVERIFY(!ownOfficeFolders().isEmpty());
    QTRY_VERIFY(ownOfficeFolders().isEmpty());
    // A quit instance refuses further work with a description instead of crashing.
    QVERIFY_THROWS_EXCEPTION(word::Error, app->documents().Open(QStringLiteral("/etc/hostname")));
}

void TestOfficeLifetime::destroyingWithoutQuitEndsTheOffice()
{
    {
        auto app = word::Application::create();
        QCOMPARE(probe::officeChildrenOf(getpid()).size(), 1);
    }
    QVERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    QTRY_VERIFY(ownOfficeFolders().isEmpty());
}

void TestOfficeLifetime::terminateAllInstancesEndsEveryOffice()
{
    auto first = word::Application::create();
    auto second = word::Application::create();
    word::startInstancesEarly(1); // one waiting for a next instance
    QCOMPARE(probe::officeChildrenOf(getpid()).size(), 3);
    // Killed offices leave their single-instance sockets; those are removed too.
    QStringList sockets;
    for (const QString& folder : ownOfficeFolders()) {
        sockets << word::LeftoverSweep::instanceSocketPath(
            QUrl::fromLocalFile(QDir(QDir::tempPath()).filePath(folder + "/profile")).toString());
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        std::all_of(sockets.begin(), sockets.end(),
                    [](const QString& socket) { return QFileInfo::exists(socket); }),
        20000);
    word::terminateAllInstances();
    QVERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    QVERIFY(ownOfficeFolders().isEmpty());
    for (const QString& socket : sockets) {
        QVERIFY2(!QFileInfo::exists(socket), qPrintable(socket));
    }
    // Destroying the ended instances afterwards is harmless.
    first.reset();
    second.reset();
}

void TestOfficeLifetime::killedProgramTakesItsOfficeAlong()
{
    // A copy of this program holds an office and is then killed outright.
    QProcess holder;
    launch::start(holder, QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--hold-office")});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(60000));
    const QList<QByteArray> pids = holder.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(pids.size(), 1);
    const qint64 office = pids.first().toLongLong();
    QVERIFY(probe::processAlive(office));
    holder.kill(); // SIGKILL: no handler of the program runs
    QVERIFY(holder.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!probe::processAlive(office), 20000);
}

void TestOfficeLifetime::twoInstancesDoNotShareAnOffice()
{
    auto first = word::Application::create();
    auto second = word::Application::create();
    const auto offices = probe::officeChildrenOf(getpid());
    QCOMPARE(offices.size(), 2);
    first->quit();
    // The other instance still works on its own office.
    QCOMPARE(probe::officeChildrenOf(getpid()).size(), 1);
    QVERIFY_THROWS_EXCEPTION(word::Error, second->documents().Open(QStringLiteral("/nonexistent")));
    second->quit();
}

void TestOfficeLifetime::aDocumentOutlivingItsOfficeRefusesEveryCall()
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("wording.txt"));
    writeBytes(text, "Spring raffle\n");
    auto app = word::Application::create();
    const auto document = app->documents().Open(text, true, true);
    const auto range = document->range();
    app.reset();
    QVERIFY_THROWS_EXCEPTION(word::Error,
                             document->SaveAs(folder.filePath(QStringLiteral("a.doc"))));
    QVERIFY_THROWS_EXCEPTION(word::Error, document->HasFields());
    QVERIFY_THROWS_EXCEPTION(word::Error, range->Text());
    QVERIFY_THROWS_EXCEPTION(word::Error, document->Close());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("wording.txt")});
}

void TestOfficeLifetime::laterOfficesStartOnTheFirstOnesProfile()
{
    QTemporaryDir cache;
    const ScopedEnvironment ownCache("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    word::Application::create()->quit();
    const QDir seeds(cache.filePath(QStringLiteral("ticketwright-profiles")));
    const QStringList kept = seeds.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(kept.size(), 1);
    // The office's own setup and this program's settings, both.
    QFile settings(seeds.filePath(kept[0] + QStringLiteral("/user/registrymodifications.xcu")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    QVERIFY(text.contains("ooSetupInstCompleted"));
    QVERIFY(text.contains("IsSpellAuto"));

    // A fresh profile would make this office end, asking for a restart, before it listens.
    word::OfficeProcess office;
    const QString socket = word::LeftoverSweep::socketPath(
        office.connectionDescription().section(QLatin1Char('='), 1));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || !office.running(), 30000);
    QVERIFY2(office.running(), qPrintable(QStringLiteral("exit %1").arg(office.exitCode())));
    // Nor does it run its graphics self-tests first, as on a profile of a version it has not seen.
    QVERIFY(!QFileInfo::exists(QUrl(office.profileUrl()).toLocalFile() +
                               QStringLiteral("/user/GraphicsRenderTests.log")));
}

void TestOfficeLifetime::aDamagedSeedCostsOnlyTheSaving_data()
{
    QTest::addColumn<QString>("damage");
    for (const char* damage : {"files cut short", "files garbled", "file missing",
                               "manifest missing", "manifest cut short", "a file in its place",
                               "cache unusable", "office does not come up on it"}) {
        QTest::newRow(damage) << QString::fromLatin1(damage);
    }
}

void TestOfficeLifetime::aDamagedSeedCostsOnlyTheSaving()
{
    QFETCH(QString, damage);
    QTemporaryDir cache;
    ScopedEnvironment environment("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    // The office, refusing to start on a profile that holds "poison": damage that a seed's own
    // check cannot see. The seed is named after this program, so it is this test's own.
    const QString office = cache.filePath(QStringLiteral("office"));
    QFile script(office);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a; do case $a in -env:UserInstallation=file://*) "
                 "p=${a#-env:UserInstallation=file://};; esac; done\n"
                 "[ -e \"$p/user/poison\" ] && exit 3\nexec " +
                 QFile::encodeName(word::OfficeProcess::programPath()) + " \"$@\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    environment.set("TICKETWRIGHT_OFFICE", QFile::encodeName(office));
    word::Application::create()->quit();
    const QString cacheFolder = cache.filePath(QStringLiteral("ticketwright-profiles"));
    const QStringList kept = QDir(cacheFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(kept.size(), 1);
    const QString seed = cacheFolder + QLatin1Char('/') + kept[0];
    const QString manifest = seed + QLatin1Char('/') + QLatin1String(word::ProfileSeed::kManifest);
    const QString settings = seed + QStringLiteral("/user/registrymodifications.xcu");

    QStringList files;
    for (QDirIterator it(seed + QStringLiteral("/user"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        files.append(it.next());
    }
    if (damage == QLatin1String("files cut short")) {
        for (const QString& file : files) {
            QVERIFY(QFile(file).resize(QFileInfo(file).size() / 2));
        }
    } else if (damage == QLatin1String("files garbled")) {
        for (const QString& file : files) {
            writeBytes(file, randomBytes(7, QFileInfo(file).size()));
        }
    } else if (damage == QLatin1String("file missing")) {
        QVERIFY(QFile::remove(settings));
    } else if (damage == QLatin1String("manifest missing")) {
        QVERIFY(QFile::remove(manifest));
    } else if (damage == QLatin1String("manifest cut short")) {
        QVERIFY(QFile(manifest).resize(QFileInfo(manifest).size() / 2));
    } else if (damage == QLatin1String("a file in its place")) {
        QVERIFY(QDir(seed).removeRecursively());
        writeBytes(seed, "not a profile");
    } else if (damage == QLatin1String("cache unusable")) {
        QVERIFY(QDir(cacheFolder).removeRecursively());
        writeBytes(cacheFolder, "not a folder");
    } else {
        writeBytes(seed + QStringLiteral("/user/poison"), "x");
        QFile list(manifest);
        QVERIFY(list.open(QIODevice::Append));
        list.write("1 " + QCryptographicHash::hash("x", QCryptographicHash::Md5).toHex() +
                   " user/poison\n");
    }

    // The run's office works all the same: it opens, edits and reads a document.
    const QString text = cache.filePath(QStringLiteral("wording.txt"));
    writeBytes(text, "Spring raffle\n");
    auto app = word::Application::create();
    app->documents().Open(text, true, true);
    QVERIFY(app->activeDocument()->range()->Text().contains(QStringLiteral("Spring raffle")));
    app->quit();

    // And a sound seed is kept again, unless the cache cannot hold one.
    if (damage == QLatin1String("cache unusable")) {
        QVERIFY(QFileInfo(cacheFolder).isFile());
        return;
    }
    QVERIFY2(QFileInfo(manifest).isFile(), "no seed was kept again");
    QVERIFY(!QFileInfo::exists(seed + QStringLiteral("/user/poison")));
}

void TestOfficeLifetime::aNewSeedMakesRoomByTheSeedsUsedLongestAgo()
{
    QTemporaryDir cache, profile, copy;
    QVERIFY(QDir().mkpath(profile.filePath(QStringLiteral("user"))));
    writeBytes(profile.filePath(QStringLiteral("user/registrymodifications.xcu")), "<items/>");
    const auto seed = [&](int settings) {
        return word::ProfileSeed(QCoreApplication::applicationFilePath(),
                                 QByteArray::number(settings), cache.path());
    };
    const auto makeOld = [](const QString& path, int hours) {
        const timespec then{::time(nullptr) - hours * 3600, 0};
        const timespec times[2] = {then, then};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
    };
    for (int settings = 0; settings < 4; ++settings) {
        seed(settings).keep(profile.path());
        makeOld(seed(settings).folder() + QLatin1Char('/') +
                    QLatin1String(word::ProfileSeed::kManifest),
                240 + settings * 24);
    }
    // Used now, the oldest becomes the newest.
    QVERIFY(seed(3).copyInto(copy.filePath(QStringLiteral("profile"))));
    // What a keep or a removal cut short left, and a keep still under way in another program.
    const QString leftover = seed(0).folder() + QStringLiteral(".a1b2c3");
    const QString underWay = seed(1).folder() + QStringLiteral(".d4e5f6");
    QVERIFY(QDir().mkpath(leftover) && QDir().mkpath(underWay));
    makeOld(leftover, 2);

    seed(4).keep(profile.path());
    QVERIFY(QFileInfo::exists(seed(4).folder()));
    for (int settings : {0, 1, 3}) {
        QVERIFY2(QFileInfo::exists(seed(settings).folder()), qPrintable(QString::number(settings)));
    }
    QVERIFY(!QFileInfo::exists(seed(2).folder()));
    QVERIFY(!QFileInfo::exists(leftover));
    QVERIFY(QFileInfo::exists(underWay));
    QCOMPARE(QDir(cache.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 5);
}

void TestOfficeLifetime::aFailedWarmingCostsOnlyTheSaving_data()
{
    QTest::addColumn<QByteArray>("sample");
    QTest::addColumn<QString>("fault");
    const QByteArray sample("Spring raffle\n");
    QTest::newRow("made ready") << sample << QString();
    QTest::newRow("a sample it cannot read")
        << QByteArray("PK\x03\x04") + QByteArray(4, '\0') + "broken archive" << QString();
    QTest::newRow("its office killed meanwhile") << sample << QStringLiteral("killed");
    QTest::newRow("its office cannot be connected") << sample << QStringLiteral("unconnectable");
}

void TestOfficeLifetime::aFailedWarmingCostsOnlyTheSaving()
{
    QFETCH(QByteArray, sample);
    QFETCH(QString, fault);
    ScopedEnvironment environment;
    const auto stop = qScopeGuard([&] {
        word::warmInstancesWith({});
        word::terminateAllInstances();
        environment.restore();
    });
    if (fault == QLatin1String("unconnectable")) {
        // Connecting fails once the pipe is open: the editor is required and cannot be found.
        environment.set("TICKETWRIGHT_PAGE_LOOP", "office");
        environment.set("TICKETWRIGHT_EDITOR_REGISTRATION", "/nonexistent/editor.rdb");
    }
    word::warmInstancesWith(sample);
    word::startInstancesEarly(1);
    if (fault == QLatin1String("unconnectable")) {
        QCOMPARE(ownOfficeFolders().size(), 1);
        // The office is ended as soon as connecting fails, and its folder goes with it.
        QTRY_VERIFY_WITH_TIMEOUT(ownOfficeFolders().isEmpty(), 30000);
        environment.restore();
    } else {
        // It begins once the office takes connections, with the sample in the office's folder.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QStringList folders = ownOfficeFolders();
                return folders.size() == 1 &&
                       QFileInfo::exists(
                           QDir(QDir::tempPath()).filePath(folders.front() + "/warm-up.dot"));
            }(),
            30000);
    }
    if (fault == QLatin1String("killed")) {
        const auto offices = probe::officeChildrenOf(getpid());
        QCOMPARE(offices.size(), 1);
        QVERIFY(offices.front() > 1 && probe::processAlive(offices.front()));
        QVERIFY(::kill(static_cast<pid_t>(offices.front()), SIGKILL) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!probe::processAlive(offices.front()), 10000);
    }
    auto app = word::Application::create();
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("wording.txt"));
    writeBytes(text, "Spring raffle\n");
    QCOMPARE(app->documents().Open(text, true)->range()->Text().trimmed(),
             QStringLiteral("Spring raffle"));
    // One that failed is gone.
    QCOMPARE(probe::officeChildrenOf(getpid()).size(), 1);
    app->quit();
}

// An office killed from outside while it loads the editing library (here, while it waits on a
// pipe in the library's place) starts afresh, and the library is tried again next time.
void TestOfficeLifetime::anOfficeKilledAsTheEditorLoadsIsNoVerdictOnIt()
{
    QTemporaryDir folder;
    const QString built =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../../office/in_office/");
    const QString registration = folder.filePath(QStringLiteral("ticketwright-editor.rdb"));
    QVERIFY(QFile::copy(built + QStringLiteral("ticketwright-editor.rdb"), registration));
    const QByteArray library =
        QFile::encodeName(folder.filePath(QStringLiteral("libticketwright_editor.so")));
    QCOMPARE(::mkfifo(library.constData(), 0600), 0);
    ScopedEnvironment environment("XDG_CACHE_HOME", QFile::encodeName(folder.path()));
    environment.set("TICKETWRIGHT_EDITOR_REGISTRATION", QFile::encodeName(registration));

    std::atomic<bool> killed = false;
    std::thread killer([&] {
        // The pipe opens for writing once the office opens it to load it.
        const QDeadlineTimer deadline(120000);
        int pipe = -1;
        while (pipe < 0 && !deadline.hasExpired()) {
            pipe = ::open(library.constData(), O_WRONLY | O_NONBLOCK);
            if (pipe < 0) {
                QThread::msleep(20);
            }
        }
        if (pipe < 0) {
            return;
        }
        // The reader's end shows among its files once its open returns, a moment after ours.
        while (!killed && !deadline.hasExpired()) {
            for (const qint64 office : probe::officeChildrenOf(getpid())) {
                const QString fds = QStringLiteral("/proc/%1/fd").arg(office);
                for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System)) {
                    if (office > 0 && QFile::encodeName(fd.symLinkTarget()) == library &&
                        ::kill(static_cast<pid_t>(office), SIGKILL) == 0) {
                        killed = true;
                    }
                }
            }
            if (!killed) {
                QThread::msleep(20);
            }
        }
        ::close(pipe);
    });
    std::unique_ptr<word::Application> app;
    try {
        app = word::Application::create();
    } catch (const word::Error&) {
    }
    killer.join();
    QVERIFY2(killed, "no office was seen loading the library");
    QVERIFY(app != nullptr);
    const QString text = folder.filePath(QStringLiteral("wording.txt"));
    writeBytes(text, "Spring raffle\n");
    QCOMPARE(app->documents().Open(text, true, true)->range()->Text().trimmed(),
             QStringLiteral("Spring raffle"));
    app->quit();
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("ticketwright-editor-refused"))));
    QTRY_VERIFY(ownOfficeFolders().isEmpty());
}

void TestOfficeLifetime::unavailableOfficeFailsQuickly()
{
    ScopedEnvironment environment("TICKETWRIGHT_OFFICE", "/nonexistent/soffice.bin");
    try {
        word::Application::create();
        QFAIL("an instance was created without an office program");
    } catch (const word::Error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("/nonexistent/soffice.bin")),
                 e.what());
    }
    // A program that runs but is not the office ends at once instead of being waited for.
    environment.set("TICKETWRIGHT_OFFICE", "/bin/false");
    QVERIFY_THROWS_EXCEPTION(word::Error, word::Application::create());
    environment.restore();
    QVERIFY(ownOfficeFolders().isEmpty());
}

void TestOfficeLifetime::watchdogGivesUpOnlyAStalledCall_data()
{
    QTest::addColumn<qint64>("callAge");     // ms since the call started; -1: no call
    QTest::addColumn<qint64>("progressAge"); // ms since the office last used processor time
    QTest::addColumn<bool>("stalled");

    const qint64 limit = 8000;
    QTest::newRow("between calls") << qint64(-1) << 10 * limit << false;
    QTest::newRow("long call, office at work") << 10 * limit << qint64(50) << false;
    QTest::newRow("long call, office idle") << 10 * limit << 10 * limit << true;
    QTest::newRow("idle exactly the limit") << limit << limit << false;
    QTest::newRow("idle just past the limit") << limit + 1 << limit + 1 << true;
    QTest::newRow("idle since before the call, call at the limit") << limit << 10 * limit << false;
    QTest::newRow("idle since before the call, call past it") << limit + 1 << 10 * limit << true;
}

void TestOfficeLifetime::watchdogGivesUpOnlyAStalledCall()
{
    QFETCH(qint64, callAge);
    QFETCH(qint64, progressAge);
    QFETCH(bool, stalled);
    const qint64 now = 1'000'000'000;
    const qint64 started = callAge < 0 ? 0 : now - callAge;
    QCOMPARE(word::Watchdog::callStalled(now, started, now - progressAge, 8000), stalled);
}

void TestOfficeLifetime::sweepRemovesOnlyLeftoversOfEndedPrograms()
{
    QTemporaryDir temp;
    const QDir folders(temp.path());
    QVERIFY(folders.mkdir(QStringLiteral("sockets")));
    const QDir sockets(folders.filePath(QStringLiteral("sockets")));
    QFile pidMax(QStringLiteral("/proc/sys/kernel/pid_max"));
    QVERIFY(pidMax.open(QIODevice::ReadOnly));
    const qint64 ended = pidMax.readAll().trimmed().toLongLong(); // ids stay below the limit
    const qint64 running = getpid();
    const auto folder = [&](qint64 pid) {
        return folders.filePath(QStringLiteral("ticketwright-office-%1-a1B2c3").arg(pid));
    };
    const auto socket = [&](const QString& pipe) {
        return sockets.filePath(QStringLiteral("OSL_PIPE_%1_%2").arg(getuid()).arg(pipe));
    };
    const auto pipeOf = [](qint64 pid) {
        return QStringLiteral("ticketwright-%1-1-0badf00d").arg(pid);
    };
    const auto instanceSocket = [&](qint64 pid) {
        return sockets.filePath(word::LeftoverSweep::instanceSocketName(
            word::LeftoverSweep::profileUrlOf(folder(pid))));
    };
    // A real socket, as the office leaves; a plain file of the same name is not one.
    std::vector<int> bound;
    const auto makeSocket = [&](const QString& path) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        std::memcpy(address.sun_path, native.constData(),
                    std::min<size_t>(native.size(), sizeof address.sun_path - 1));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        bound.push_back(fd);
        return ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    };
    const QStringList gone = {socket(pipeOf(ended)), instanceSocket(ended), folder(ended)};
    for (const QString& path : {gone[0], gone[1], socket(pipeOf(running)), instanceSocket(running),
                                socket(QStringLiteral("SingleOfficeIPC_%1").arg(ended)),
                                socket(QStringLiteral("ticketwright-notes"))}) {
        QVERIFY2(makeSocket(path), qPrintable(path));
    }
    for (qint64 pid : {ended, running}) {
        QVERIFY(folders.mkpath(folder(pid) + QStringLiteral("/tmp/lu%1abc.tmp").arg(pid)));
        writeBytes(folder(pid) + QStringLiteral("/") + word::LeftoverSweep::kFolderMark, {});
    }
    // Look-alikes, each with something of the person's inside.
    const QString unmarked =
        folders.filePath(QStringLiteral("ticketwright-office-%1-Zz9Zz9").arg(ended));
    const QStringList kept = {
        folders.filePath(QStringLiteral("ticketwright-office-notes")), unmarked,
        folders.filePath(QStringLiteral("ticketwright-office-%1-a1B2c3-old").arg(ended)),
        folders.filePath(QStringLiteral("ticketwright-%1").arg(ended))};
    for (const QString& path : kept) {
        QVERIFY(folders.mkpath(path));
        writeBytes(path + QStringLiteral("/notes.txt"), "mine");
    }
    writeBytes(kept[2] + QStringLiteral("/") + word::LeftoverSweep::kFolderMark, {});
    const QString link =
        folders.filePath(QStringLiteral("ticketwright-office-%1-L1nk00").arg(ended));
    QVERIFY(QFile::link(folder(running), link));
    const QString plainFile = socket(QStringLiteral("ticketwright-%1-2-0badf00d").arg(ended));
    writeBytes(plainFile, "mine");

    word::LeftoverSweep(folders.path(), sockets.path()).run();
    for (const int fd : bound) {
        ::close(fd);
    }

    for (const QString& path : gone) {
        QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
    }
    // A running program's, and what is not shown to be ours, stay.
    for (const QString& path : kept) {
        QVERIFY2(QFileInfo::exists(path + QStringLiteral("/notes.txt")), qPrintable(path));
    }
    for (const QString& path : {folder(running), socket(pipeOf(running)), instanceSocket(running),
                                socket(QStringLiteral("SingleOfficeIPC_%1").arg(ended)),
                                socket(QStringLiteral("ticketwright-notes")), plainFile}) {
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    }
    QVERIFY(QFileInfo(link).isSymLink());
}

void TestOfficeLifetime::checkPassesQuietlyWhenTheOfficeStarts()
{
    ScriptedSeams seams;
    CheckWordInstalled();
    QVERIFY(seams.messages.isEmpty());
    QCOMPARE(seams.endProgramCalls, 0);
    QVERIFY(probe::officeChildrenOf(getpid()).isEmpty());
}

void TestOfficeLifetime::checkExplainsAndEndsWhenTheOfficeIsUnavailable()
{
    ScriptedSeams seams;
    {
        const ScopedEnvironment noOffice("TICKETWRIGHT_OFFICE", "/nonexistent/soffice.bin");
        CheckWordInstalled();
    }
    const QString expected = QStringLiteral(
        "Error 842001. A normal instance of Word could not be created.\r\n\r\n"
        "1. Please make sure Word is installed on this computer.\r\n\r\n"
        "2. Please open Word normally and make sure a blank document opens immediately without "
        "any interrupting window (such as an Word file recovery window).\r\n\r\n"
        "3. Please make sure that when you double-click on a DOC or DOCX file that Word opens "
        "normally without any interrupting messages.\r\n\r\n"
        "4. All versions of Word are supported by this software except for the rare Word Starter "
        "and Student editions.");
    QCOMPARE(seams.messages.size(), 1);
    QCOMPARE(seams.messages[0].text, expected);
    QCOMPARE(seams.messages[0].title, identity::applicationTitle());
    QCOMPARE(seams.messages[0].style, MsgStyle::Ok);
    QCOMPARE(seams.endProgramCalls, 1);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (application.arguments().contains(QStringLiteral("--hold-office"))) {
        auto app = word::Application::create();
        const auto offices = probe::officeChildrenOf(getpid());
        for (qint64 pid : offices) {
            std::printf("%lld", static_cast<long long>(pid));
        }
        std::printf("\n");
        std::fflush(stdout);
        for (;;) {
            pause(); // until killed
        }
    }
    TestOfficeLifetime test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_office_lifetime.moc"
