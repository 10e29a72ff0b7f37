#include "office_probe.h"

#include "program_launcher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>

namespace probe {

QString docText(const QString& reader, const QString& path)
{
    return launch::outputOf(reader,
                            reader == QLatin1String("catdoc")
                                ? QStringList{QStringLiteral("-w"), path}
                                : QStringList{QStringLiteral("-w"), QStringLiteral("0"), path},
                            60000);
}

QString officeProgramFolder()
{
    return QStringLiteral(TICKETWRIGHT_OFFICE_PROGRAM_DIR);
}

QString officeAlone(const QString& profileFolder, const QStringList& arguments, int waitMs)
{
    return launch::outputOf(
        officeProgramFolder() + QStringLiteral("/soffice"),
        QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                    QStringLiteral("-env:UserInstallation=file://") + profileFolder} +
            arguments,
        waitMs);
}

int pageCount(const QString& path)
{
    QTemporaryDir dir;
    officeAlone(dir.filePath(QStringLiteral("profile")),
                {QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                 dir.path(), path});
    QFile pdf(dir.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".pdf")));
    if (!pdf.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray bytes = pdf.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(bytes).count(page));
}

QList<qint64> officeChildrenOf(qint64 parentPid)
{
    QList<qint64> result;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid) {
            continue;
        }
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString line = QString::fromLatin1(stat.readAll());
        // "pid (comm) state ppid ..."; comm may hold blanks, so split after the last ')'.
        const int close = line.lastIndexOf(QLatin1Char(')'));
        const QString comm = line.mid(line.indexOf(QLatin1Char('(')) + 1,
                                      close - line.indexOf(QLatin1Char('(')) - 1);
        const QStringList rest = line.mid(close + 2).split(QLatin1Char(' '));
        if (comm.startsWith(QLatin1String("soffice")) && rest.size() > 1 &&
            rest[0] != QLatin1String("Z") && rest[1].toLongLong() == parentPid) {
            result.append(pid);
        }
    }
    return result;
}

bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString line = QString::fromLatin1(stat.readAll());
    return !line.mid(line.lastIndexOf(QLatin1Char(')')) + 2).startsWith(QLatin1Char('Z'));
}

QByteArray output(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(180000) || process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}

int occurrences(const QString& haystack, const QString& needle)
{
    return static_cast<int>(haystack.count(needle));
}

QList<int> ticketNumbers(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("(?<![0-9$])([0-9]{4,5})(?![0-9])"));
    QList<int> numbers;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        numbers << it.next().captured(1).toInt();
    }
    return numbers;
}

} // namespace probe
