#include "cups_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cups/cups.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCupsd = "/usr/sbin/cupsd";
const char* const kPdfBackend = "/usr/lib/cups/backend/cups-pdf";
const char* const kPdfDriver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

} // namespace

CupsServer::CupsServer() : mPreviousServer(qgetenv("CUPS_SERVER"))
{
    if (::geteuid() != 0) {
        mWhy = QStringLiteral("a CUPS server of the test's own needs root for its backends");
        return;
    }
    for (const char* needed : {kCupsd, kPdfBackend, kPdfDriver}) {
        if (!QFileInfo::exists(QString::fromLatin1(needed))) {
            mWhy = QStringLiteral("%1 is not installed (cups, printer-driver-cups-pdf)")
                       .arg(QString::fromLatin1(needed));
            return;
        }
    }
    const QDir root(mRoot.path());
    for (const char* folder : {"conf", "spool", "tmp", "cache", "state", "log"}) {
        root.mkpath(QString::fromLatin1(folder));
    }
    // The filters run as lp: they pass through the folder and write into its tmp.
    ::chmod(QFile::encodeName(root.path()).constData(), 0755);
    ::chmod(QFile::encodeName(root.filePath(QStringLiteral("tmp"))).constData(), 01777);
    const QString socket = root.filePath(QStringLiteral("cups.sock"));
    writeText(root.filePath(QStringLiteral("conf/cupsd.conf")),
              QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nDefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                             "</Policy>\n")
                  .arg(socket));
    QString files;
    const QStringList places = {QStringLiteral("ServerRoot conf"),
                                QStringLiteral("RequestRoot spool"),
                                QStringLiteral("TempDir tmp"),
                                QStringLiteral("CacheDir cache"),
                                QStringLiteral("StateDir state"),
                                QStringLiteral("ErrorLog log/error_log"),
                                QStringLiteral("AccessLog log/access_log"),
                                QStringLiteral("PageLog log/page_log")};
    for (const QString& place : places) {
        files += place.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') +
                 root.filePath(place.section(QLatin1Char(' '), 1)) + QLatin1Char('\n');
    }
    files += QStringLiteral("ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n");
    writeText(root.filePath(QStringLiteral("conf/cups-files.conf")), files);
    mServer.setProgram(QString::fromLatin1(kCupsd));
    mServer.setArguments({QStringLiteral("-f"), QStringLiteral("-c"),
                          root.filePath(QStringLiteral("conf/cupsd.conf")), QStringLiteral("-s"),
                          root.filePath(QStringLiteral("conf/cups-files.conf"))});
    mServer.setProcessChannelMode(QProcess::MergedChannels);
    mServer.start();
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    cupsSetServer(QFile::encodeName(socket).constData());
    // Ready once it answers on its socket.
    const bool up = QTest::qWaitFor(
        [&] {
            if (mServer.state() == QProcess::NotRunning) {
                return true;
            }
            http_t* http = httpConnect2(socket.toUtf8().constData(), 0, nullptr, AF_UNSPEC,
                                        HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr);
            if (http == nullptr) {
                return false;
            }
            httpClose(http);
            return true;
        },
        20000);
    if (!up || mServer.state() == QProcess::NotRunning) {
        mWhy = QStringLiteral("cupsd did not start: %1")
                   .arg(QString::fromLocal8Bit(mServer.readAll()));
    }
}

CupsServer::~CupsServer()
{
    if (mServer.state() != QProcess::NotRunning) {
        mServer.terminate();
        if (!mServer.waitForFinished(10000)) {
            mServer.kill();
            mServer.waitForFinished(5000);
        }
    }
    if (mPreviousServer.isEmpty()) {
        qunsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    } else {
        qputenv("CUPS_SERVER", mPreviousServer);
        cupsSetServer(mPreviousServer.constData());
    }
}

QString CupsServer::command(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return QStringLiteral("%1 %2 failed: %3")
            .arg(program, arguments.join(QLatin1Char(' ')),
                 QString::fromLocal8Bit(process.readAll()));
    }
    return {};
}

QString CupsServer::addPdfPrinter(const QString& name, bool makeDefault)
{
    // pdftocairo keeps the text a text through the filters, so the printed PDF can be read.
    QString error =
        command(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), name, QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                 QStringLiteral("-P"), QString::fromLatin1(kPdfDriver), QStringLiteral("-o"),
                 QStringLiteral("pdftops-renderer-default=pdftocairo"), QStringLiteral("-E")});
    if (error.isEmpty() && makeDefault) {
        error = command(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name});
    }
    return error;
}

QString CupsServer::rejectJobs(const QString& name)
{
    return command(QStringLiteral("cupsreject"), {name});
}

int CupsServer::lastJob(const QString& name) const
{
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    int last = 0;
    for (int i = 0; i < count; ++i) {
        last = std::max(last, jobs[i].id);
    }
    cupsFreeJobs(count, jobs);
    return last;
}

QString CupsServer::waitForEnd(int job, int timeoutMs) const
{
    QString state;
    // An empty state says it did not end in time.
    (void)QTest::qWaitFor(
        [&] {
            cups_job_t* jobs = nullptr;
            const int count =
                cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_COMPLETED);
            for (int i = 0; i < count; ++i) {
                if (jobs[i].id == job) {
                    state = jobs[i].state == IPP_JSTATE_COMPLETED  ? QStringLiteral("completed")
                            : jobs[i].state == IPP_JSTATE_CANCELED ? QStringLiteral("canceled")
                                                                   : QStringLiteral("aborted");
                }
            }
            cupsFreeJobs(count, jobs);
            return !state.isEmpty();
        },
        timeoutMs);
    return state;
}

QHash<QString, QString> CupsServer::jobAttributes(int job) const
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "all");
    QHash<QString, QString> attributes;
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    for (ipp_attribute_t* a = response ? ippFirstAttribute(response) : nullptr; a != nullptr;
         a = ippNextAttribute(response)) {
        if (ippGetName(a) != nullptr) {
            char value[1024];
            ippAttributeString(a, value, sizeof value);
            attributes.insert(QString::fromUtf8(ippGetName(a)), QString::fromUtf8(value));
        }
    }
    ippDelete(response);
    return attributes;
}

QString CupsServer::printedFile(int job)
{
    // cups-pdf writes into the job's user's home, as the password database has it.
    const passwd* user = ::getpwuid(::getuid());
    const QDir folder(QString::fromLocal8Bit(user ? user->pw_dir : "/root") +
                      QStringLiteral("/PDF"));
    const QStringList found =
        folder.entryList({QStringLiteral("*-job_%1.pdf").arg(job)}, QDir::Files);
    return found.isEmpty() ? QString() : folder.filePath(found.first());
}
