#include "office_process.h"

#include "leftover_sweep.h"
#include "live_offices.h"
#include "profile_seed.h"
#include "profile_settings.h"
#include "word_automation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace word {
QString OfficeProcess::programPath()
{
    const QByteArray configured = qgetenv("TICKETWRIGHT_OFFICE");
    return configured.isEmpty() ? QStringLiteral(TICKETWRIGHT_OFFICE_PROGRAM_DIR "/soffice.bin")
                                : QString::fromLocal8Bit(configured);
}

OfficeProcess::OfficeProcess() : mWatchdog(Watchdog::configuredLimitMs())
{
    const QString program = programPath();
    if (::access(QFile::encodeName(program).constData(), X_OK) != 0) {
        throw Error(QStringLiteral("The office program \"%1\" cannot be run: %2")
                        .arg(program, QString::fromLocal8Bit(std::strerror(errno))));
    }
    LeftoverSweep::once();
    // An office that dies while a call is being written to its pipe must give a failed call,
    // not a SIGPIPE that ends this program.
    std::signal(SIGPIPE, SIG_IGN);
    // Known before its folder is made: an ending from another thread while this one starts it
    // waits for the start, then ends the office and removes the folder.
    LiveOffices::add(this);
    // Qt may reap an office that ended by itself in the event loop, that is between calls, when
    // the watchdog kills nothing; it lets go of the id there.
    QObject::connect(&mProcess, &QProcess::finished, &mProcess, [this] {
        mSeenEnded = true;
        mWatchdog.forget();
    });
    try {
        {
            const std::lock_guard starting(mStarting);
            refuseWhenEnding();
            makeFolder();
        }
        start();
    } catch (...) {
        LiveOffices::remove(this);
        removeFolder();
        throw;
    }
    mStarted = true;
}

OfficeProcess::~OfficeProcess()
{
    LiveOffices::remove(this);
    kill();
}

void OfficeProcess::makeFolder()
{
    QByteArray templ = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') +
                                         QString::fromLatin1(LeftoverSweep::kFolderPrefix)) +
                       QByteArray::number(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(templ.data())) {
        throw Error(QStringLiteral("No private folder for the office could be made in \"%1\": %2")
                        .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno))));
    }
    mFolder = QFile::decodeName(templ);
    // The mark that lets a later sweep tell this folder from a person's of a similar name.
    QFile mark(mFolder + QLatin1Char('/') + QLatin1String(LeftoverSweep::kFolderMark));
    if (!mark.open(QIODevice::WriteOnly)) {
        const QString reason = mark.errorString();
        QDir(mFolder).removeRecursively();
        throw Error(QStringLiteral("No private folder for the office could be made in \"%1\": %2")
                        .arg(QDir::tempPath(), reason));
    }
    mark.close();
    QDir(mFolder).mkpath(QStringLiteral("tmp"));
    static std::atomic<int> counter{0};
    mPipeName = QStringLiteral("%1%2-%3-%4")
                    .arg(QString::fromLatin1(LeftoverSweep::kPipePrefix))
                    .arg(::getpid())
                    .arg(++counter)
                    .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    mMade = {LeftoverSweep::socketPath(mPipeName), LeftoverSweep::instanceSocketPath(profileUrl()),
             mFolder};
}

QString OfficeProcess::profileUrl() const
{
    return LeftoverSweep::profileUrlOf(mFolder);
}

QString OfficeProcess::connectionDescription() const
{
    return QStringLiteral("pipe,name=%1").arg(mPipeName);
}

void OfficeProcess::refuseWhenEnding() const
{
    if (LiveOffices::ending()) {
        throw Error(QStringLiteral("No office is started: the program is ending."));
    }
}

void OfficeProcess::start()
{
    const std::lock_guard starting(mStarting);
    refuseWhenEnding();
    const QString profileFolder = mFolder + QStringLiteral("/profile");
    const QByteArray settings = ProfileSettings::text(programPath());
    const ProfileSeed seed(programPath(), settings);
    mStartedOnSeed = false;
    if (ended() && exitCode() == kRestartRequested) {
        // The office has just set its profile up, settings merged in, and is not running.
        seed.keep(profileFolder);
    } else if (!mFreshProfile && seed.copyInto(profileFolder)) {
        mStartedOnSeed = true;
    } else {
        ProfileSettings::write(profileFolder, settings);
    }
    const QString profile = profileUrl();
    mProcess.setProgram(QFileInfo(programPath()).absoluteFilePath());
    mProcess.setArguments({
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("-env:UserInstallation=") + profile,
        QStringLiteral("--accept=%1;urp;StarOffice.ComponentContext").arg(connectionDescription()),
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The office's own scratch files go into the private folder, so nothing is left in /tmp.
    environment.insert(QStringLiteral("TMPDIR"), mFolder + QStringLiteral("/tmp"));
    environment.insert(QStringLiteral("SAL_USE_VCLPLUGIN"), QStringLiteral("svp"));
    mProcess.setProcessEnvironment(environment);
    mProcess.setStandardInputFile(QProcess::nullDevice());
    mProcess.setStandardOutputFile(QProcess::nullDevice());
    mProcess.setStandardErrorFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    mProcess.setChildProcessModifier([parent] {
        // In the child before exec: only async-signal-safe calls.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127); // the program ended before the signal was armed
        }
        // None of this program's files stays open in the office.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    });
    mProcess.start();
    if (!mProcess.waitForStarted(-1)) {
        throw Error(QStringLiteral("The office program could not be started: %1")
                        .arg(mProcess.errorString()));
    }
    // Started means the program was executed, so the child is in its own group already.
    mStartedPid = static_cast<pid_t>(mProcess.processId());
    mSeenEnded = false;
    mWatchdog.watch(mStartedPid);
}

bool OfficeProcess::onOwnThread() const
{
    return QThread::currentThread() == mProcess.thread();
}

bool OfficeProcess::endedElsewhere() const
{
    if (mSeenEnded) {
        return true;
    }
    // Asked without reaping: the process stays the owner thread's to reap. A process that is
    // already reaped is no child any more.
    siginfo_t info = {};
    const int asked =
        ::waitid(P_PID, static_cast<id_t>(mStartedPid.load()), &info, WEXITED | WNOHANG | WNOWAIT);
    return asked != 0 || info.si_pid != 0;
}

bool OfficeProcess::ended() const
{
    return onOwnThread() ? mProcess.state() == QProcess::NotRunning : endedElsewhere();
}

bool OfficeProcess::running()
{
    if (!onOwnThread()) {
        return !endedElsewhere();
    }
    return !ended() && !mProcess.waitForFinished(0);
}

bool OfficeProcess::listening() const
{
    return !mPipeName.isEmpty() && QFileInfo::exists(LeftoverSweep::socketPath(mPipeName));
}

int OfficeProcess::exitCode() const
{
    return mProcess.exitStatus() == QProcess::NormalExit ? mProcess.exitCode() : -1;
}

bool OfficeProcess::endedByKill() const
{
    const auto isKill = [](int signal) {
        return signal == SIGKILL || signal == SIGTERM || signal == SIGINT || signal == SIGHUP;
    };
    if (onOwnThread()) {
        // For a process ended by a signal, QProcess keeps the signal as its exit code.
        return mProcess.state() == QProcess::NotRunning &&
               mProcess.exitStatus() == QProcess::CrashExit && isKill(mProcess.exitCode());
    }
    siginfo_t info = {};
    return ::waitid(P_PID, static_cast<id_t>(mStartedPid.load()), &info,
                    WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid != 0 && info.si_code == CLD_KILLED && isKill(info.si_status);
}

void OfficeProcess::restart()
{
    endProcess();
    start();
}

void OfficeProcess::restartOnFreshProfile(const QString& why)
{
    endProcess();
    ProfileSeed(programPath(), ProfileSettings::text(programPath())).discard(why);
    QDir(mFolder + QStringLiteral("/profile")).removeRecursively();
    mFreshProfile = true;
    start();
}

void OfficeProcess::restartWhenAsked()
{
    mRestartWhenAsked = QObject::connect(
        &mProcess, &QProcess::finished, &mProcess, [this](int code, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && code == kRestartRequested &&
                mRestartsWhenAsked++ < 3) {
                // Not from inside the signal of the process that just ended.
                QTimer::singleShot(0, &mProcess, [this] { restartAsked(); });
            }
        });
}

void OfficeProcess::restartAsked()
{
    if (!ended() || mFolder.isEmpty()) {
        return;
    }
    // Called from the event loop, where nothing may escape. An office that cannot start again
    // is ended with its folder; the next instance starts one of its own instead.
    try {
        start();
    } catch (...) {
        kill();
    }
}

void OfficeProcess::stopRestartingWhenAsked()
{
    QObject::disconnect(mRestartWhenAsked);
}

bool OfficeProcess::waitForExit(int timeoutMs)
{
    if (onOwnThread()) {
        return ended() || mProcess.waitForFinished(timeoutMs);
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!endedElsewhere()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

void OfficeProcess::kill()
{
    endProcess();
    removeFolder();
}

void OfficeProcess::endSoon(const std::shared_ptr<OfficeProcess>& process)
{
    QCoreApplication* const application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread() ||
        !process->onOwnThread()) {
        process->kill();
        return;
    }
    process->endProcess();
    // The event loop's thread only.
    static std::vector<std::shared_ptr<OfficeProcess>> ending;
    if (std::find(ending.begin(), ending.end(), process) != ending.end()) {
        return;
    }
    ending.push_back(process);
    QTimer::singleShot(0, application, [] {
        for (const auto& office : std::exchange(ending, {})) {
            office->kill();
        }
    });
}

void OfficeProcess::signalGroup()
{
    if (!ended()) {
        // Only this thread reaps from here on, so the group id stays the office's.
        mWatchdog.forget();
        ::killpg(mStartedPid, SIGKILL);
    }
}

void OfficeProcess::endProcess()
{
    if (!ended()) {
        signalGroup();
        mProcess.waitForFinished(-1);
    }
    mSeenEnded = true;
}

void OfficeProcess::removeFolder()
{
    if (!mFolder.isEmpty()) {
        remove(mMade);
        mFolder.clear();
    }
}

void OfficeProcess::remove(const Made& made)
{
    if (made.folder.isEmpty()) {
        return; // never made: an empty path would name the current folder
    }
    QFile::remove(made.pipeSocket);
    QFile::remove(made.instanceSocket);
    QDir(made.folder).removeRecursively();
}

} // namespace word
