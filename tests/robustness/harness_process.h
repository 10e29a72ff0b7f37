#pragma once

// Runs tw_harness, the real program in pieces, as a separate process and reads what it says.

#include "office_probe.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace harness {

inline QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tw_harness");
}

// Starts the harness with the test's environment plus env; prefix (for instance a command that
// changes the user or a limit) runs it.
inline void start(QProcess& process, const QStringList& args,
                  const QList<QPair<QString, QString>>& env, const QStringList& prefix = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [name, value] : env) {
        environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (prefix.isEmpty()) {
        process.start(program(), args);
    } else {
        process.start(prefix.first(), prefix.mid(1) + QStringList{program()} + args);
    }
}

// Everything the harness said, once it has ended (a generous bound: a stuck run fails the test
// rather than hanging it).
inline QStringList finish(QProcess& process)
{
    process.waitForFinished(600000);
    return QString::fromUtf8(process.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QStringList withPrefix(const QStringList& lines, const QString& prefix)
{
    QStringList found;
    for (const QString& line : lines) {
        if (line.startsWith(prefix)) {
            found << line.mid(prefix.size());
        }
    }
    return found;
}

// "location:label" of every error report.
inline QStringList reportedSteps(const QStringList& lines)
{
    static const QRegularExpression where(QStringLiteral(" in (\\S+) at line (\\d+) "));
    QStringList steps;
    for (const QString& report : withPrefix(lines, QStringLiteral("MESSAGE "))) {
        const auto match = where.match(report);
        steps << (match.hasMatch() ? match.captured(1) + QLatin1Char(':') + match.captured(2)
                                   : report);
    }
    return steps;
}

inline bool eachOnce(const QStringList& items)
{
    return QSet<QString>(items.begin(), items.end()).size() == items.size();
}

// The ticket numbers of a saved document as antiword reads them, in reading order.
inline QList<int> ticketNumbers(const QString& path)
{
    QList<int> numbers;
    static const QRegularExpression number(QStringLiteral("(?<![0-9$])([0-9]{4,5})(?![0-9])"));
    const QString text = probe::docText(QStringLiteral("antiword"), path);
    for (auto it = number.globalMatch(text); it.hasNext();) {
        numbers << it.next().captured(1).toInt();
    }
    return numbers;
}

inline QList<int> everyTicketTwice(int tickets)
{
    QList<int> expected;
    for (int n = 1; n <= tickets; ++n) {
        expected << n << n;
    }
    return expected;
}

// Office folders that the harness with that process id left behind.
inline QStringList officeFoldersOf(qint64 pid, const QString& tempRoot = QDir::tempPath())
{
    return QDir(tempRoot).entryList({QStringLiteral("ticketwright-office-%1-*").arg(pid)},
                                    QDir::Dirs);
}

} // namespace harness
