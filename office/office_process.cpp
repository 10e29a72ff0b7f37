#include "office_process.h"

#include "leftover_sweep.h"
#include "word_automation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace word {
namespace {

// A parent-death signal fires when the thread that forked ends, not the process: every office is
// forked from this one thread, which is never ended.
class Spawner
{
public:
    static Spawner& instance()
    {
        static Spawner* spawner = new Spawner; // never destroyed: the thread must outlive all
        return *spawner;
    }

    // Returns the child's pid, or -1 with errno set.
    pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env)
    {
        Job job;
        for (const auto& a : argv) {
            job.argv.push_back(const_cast<char*>(a.c_str()));
        }
        job.argv.push_back(nullptr);
        for (const auto& e : env) {
            job.envp.push_back(const_cast<char*>(e.c_str()));
        }
        job.envp.push_back(nullptr);
        std::unique_lock lock(mutex_);
        jobs_.push_back(&job);
        wake_.notify_all();
        wake_.wait(lock, [&] { return job.done; });
        errno = job.error;
        return job.pid;
    }

private:
    struct Job
    {
        std::vector<char*> argv;
        std::vector<char*> envp;
        pid_t pid = -1;
        int error = 0;
        bool done = false;
    };

    Spawner()
    {
        std::thread([this] { run(); }).detach();
    }

    void run()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return !jobs_.empty(); });
            Job* job = jobs_.front();
            jobs_.pop_front();
            forkOne(*job);
            job->done = true;
            wake_.notify_all();
        }
    }

    static void forkOne(Job& job)
    {
        const pid_t parent = getpid();
        const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
        const pid_t pid = fork();
        if (pid == 0) {
            // Only async-signal-safe calls from here to exec.
            setpgid(0, 0);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) {
                _exit(127);
            }
            if (devNull >= 0) {
                dup2(devNull, 0);
                dup2(devNull, 1);
                dup2(devNull, 2);
            }
            close_range(3, ~0U, 0);
            execve(job.argv[0], job.argv.data(), job.envp.data());
            _exit(127);
        }
        job.error = pid < 0 ? errno : 0;
        if (devNull >= 0) {
            close(devNull);
        }
        if (pid > 0) {
            setpgid(pid, pid); // either side may win the race; both set the same group
        }
        job.pid = pid;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job*> jobs_;
};

// Every live office of this program, so that they can all be ended at once.
struct Registry
{
    std::mutex mutex;
    std::set<OfficeProcess*> processes;

    static Registry& instance()
    {
        static Registry* registry = new Registry; // usable during exit handlers too
        return *registry;
    }
};

} // namespace

QString OfficeProcess::programPath()
{
    const QByteArray configured = qgetenv("TICKETWRIGHT_OFFICE");
    return configured.isEmpty() ? QStringLiteral("/usr/lib/libreoffice/program/soffice.bin")
                                : QString::fromLocal8Bit(configured);
}

OfficeProcess::OfficeProcess() : watchdog_(OfficeWatchdog::configuredLimitMs())
{
    const QString program = programPath();
    if (access(QFile::encodeName(program).constData(), X_OK) != 0) {
        throw Error(QStringLiteral("The office program \"%1\" cannot be run: %2")
                        .arg(program, QString::fromLocal8Bit(strerror(errno))));
    }
    LeftoverSweep::once();
    // An office that dies while a call is being written to its pipe must give a failed call,
    // not a SIGPIPE that ends this program.
    std::signal(SIGPIPE, SIG_IGN);

    QByteArray templ = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') +
                                         QString::fromLatin1(LeftoverSweep::kFolderPrefix)) +
                       QByteArray::number(getpid()) + "-XXXXXX";
    if (!mkdtemp(templ.data())) {
        throw Error(QStringLiteral("No private folder for the office could be made in \"%1\": %2")
                        .arg(QDir::tempPath(), QString::fromLocal8Bit(strerror(errno))));
    }
    folder_ = QFile::decodeName(templ);
    QDir(folder_).mkpath(QStringLiteral("tmp"));
    static std::atomic<int> counter{0};
    pipeName_ = QStringLiteral("%1%2-%3-%4")
                    .arg(QString::fromLatin1(LeftoverSweep::kPipePrefix))
                    .arg(getpid())
                    .arg(++counter)
                    .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    try {
        spawn();
    } catch (...) {
        removeFolder();
        throw;
    }
}

OfficeProcess::~OfficeProcess()
{
    kill();
}

QString OfficeProcess::connectionDescription() const
{
    return QStringLiteral("pipe,name=%1").arg(pipeName_);
}

void OfficeProcess::spawn()
{
    const QString profileUrl = QUrl::fromLocalFile(folder_ + QStringLiteral("/profile")).toString();
    const std::vector<std::string> argv = {
        QFile::encodeName(programPath()).toStdString(),
        "--headless",
        "--invisible",
        "--nologo",
        "--norestore",
        "--nodefault",
        "--nolockcheck",
        "-env:UserInstallation=" + profileUrl.toStdString(),
        "--accept=" + connectionDescription().toStdString() + ";urp;StarOffice.ComponentContext",
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("TMPDIR=", 0) != 0 && entry.rfind("SAL_USE_VCLPLUGIN=", 0) != 0) {
            env.push_back(entry);
        }
    }
    // The office's own scratch files go into the private folder, so nothing is left in /tmp.
    env.push_back("TMPDIR=" + QFile::encodeName(folder_ + QStringLiteral("/tmp")).toStdString());
    env.push_back("SAL_USE_VCLPLUGIN=svp");

    const pid_t pid = Spawner::instance().spawn(argv, env);
    if (pid < 0) {
        throw Error(QStringLiteral("The office program could not be started: %1")
                        .arg(QString::fromLocal8Bit(strerror(errno))));
    }
    std::lock_guard lock(Registry::instance().mutex);
    pid_ = pid;
    startedPid_ = pid;
    exitCode_ = 0;
    watchdog_.watch(pid);
    Registry::instance().processes.insert(this);
}

bool OfficeProcess::running()
{
    if (pid_ <= 0) {
        return false;
    }
    // Looked at without reaping: the watchdog lets go of the id before it is reaped.
    siginfo_t info = {};
    if (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == 0) {
        return true;
    }
    watchdog_.forget();
    std::lock_guard lock(Registry::instance().mutex);
    int status = 0;
    const pid_t r = waitpid(pid_, &status, 0);
    exitCode_ = (r == pid_ && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    Registry::instance().processes.erase(this);
    pid_ = -1;
    return false;
}

void OfficeProcess::restart()
{
    endProcess();
    spawn();
}

bool OfficeProcess::waitForExit(int timeoutMs)
{
    for (int waited = 0; running(); waited += 10) {
        if (waited >= timeoutMs) {
            return false;
        }
        usleep(10 * 1000);
    }
    return true;
}

void OfficeProcess::kill()
{
    endProcess();
    removeFolder();
}

void OfficeProcess::endProcess()
{
    if (pid_ > 0) {
        watchdog_.forget();
        std::lock_guard lock(Registry::instance().mutex);
        ::killpg(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        Registry::instance().processes.erase(this);
        pid_ = -1;
        exitCode_ = -1;
    }
}

void OfficeProcess::removeFolder()
{
    if (!pipeName_.isEmpty()) {
        QFile::remove(LeftoverSweep::socketPath(pipeName_));
    }
    if (!folder_.isEmpty()) {
        QDir(folder_).removeRecursively();
        folder_.clear();
    }
}

void OfficeProcess::killAll()
{
    std::lock_guard lock(Registry::instance().mutex);
    for (OfficeProcess* p : Registry::instance().processes) {
        p->watchdog_.forget();
        ::killpg(p->pid_, SIGKILL);
    }
    for (OfficeProcess* p : Registry::instance().processes) {
        waitpid(p->pid_, nullptr, 0);
        p->pid_ = -1;
        p->exitCode_ = -1;
        QFile::remove(LeftoverSweep::socketPath(p->pipeName_));
        if (!p->folder_.isEmpty()) {
            QDir(p->folder_).removeRecursively();
            p->folder_.clear();
        }
    }
    Registry::instance().processes.clear();
}

} // namespace word
