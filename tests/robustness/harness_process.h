#pragma once

// Runs tw_harness, the real program in pieces, as a separate process and reads what it says.

#include "office_probe.h"
#include "program_launcher.h"
#include "reports.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QStringList>
#include <QTest>

namespace harness {

inline QString program()
{
    return launch::besideTest(QStringLiteral("tw_harness"));
}

// Starts the harness with the test's environment plus env; prefix (for instance a command that
// changes the user or a limit) runs it.
inline void start(QProcess& process, const QStringList& args, const launch::Environment& env,
                  const QStringList& prefix = {})
{
    launch::start(process, program(), args, env, prefix);
}

// "location:label" of every error report the harness showed.
inline QStringList reportedSteps(const QStringList& lines)
{
    return reports::steps(launch::withPrefix(lines, QStringLiteral("MESSAGE ")));
}

// The harness's settings in the configuration folder config: every field, none half-written.
inline void settingsAreWhole(const QString& config)
{
    QSettings store(config + QStringLiteral("/Quorvane.conf"), QSettings::IniFormat);
    QCOMPARE(store.status(), QSettings::NoError);
    store.beginGroup(QStringLiteral("Ticketwright"));
    QCOMPARE(store.childKeys().size(), 8);
    QCOMPARE(store.value(QStringLiteral("Text3")).toString(), QStringLiteral("$500"));
}

inline bool eachOnce(const QStringList& items)
{
    return QSet<QString>(items.begin(), items.end()).size() == items.size();
}

// The ticket numbers of a saved document as antiword reads them, in reading order.
inline QList<int> ticketNumbers(const QString& path)
{
    return probe::ticketNumbers(probe::docText(QStringLiteral("antiword"), path));
}

inline QList<int> everyTicketTwice(int tickets)
{
    QList<int> expected;
    for (int n = 1; n <= tickets; ++n) {
        expected << n << n;
    }
    return expected;
}

// A saved document of size bytes in folder and the last week's file a save is to replace.
struct SaveFiles
{
    QString source;
    QString target;
    static constexpr qint64 kOldSize = 27;
};
inline SaveFiles saveFiles(const QString& folder, qint64 size)
{
    const SaveFiles files{QDir(folder).filePath(QStringLiteral("zanfel12345678.doc")),
                          QDir(folder).filePath(QStringLiteral("tickets.doc"))};
    QFile source(files.source);
    const QByteArray block(1 << 20, 'T');
    if (source.open(QIODevice::WriteOnly)) {
        for (qint64 i = 0; i < size / block.size(); ++i) {
            source.write(block);
        }
    }
    QFile old(files.target);
    if (old.open(QIODevice::WriteOnly)) {
        old.write("the tickets saved last week");
    }
    return files;
}

// A real generated document of that many tickets, made by a harness run with its temporary folder
// at temp; empty when the run failed.
inline QString generatedDocument(const QString& tickets, const QString& temp,
                                 const launch::Environment& env = {})
{
    QProcess process;
    launch::Environment all = env;
    all.append({QStringLiteral("TEMP"), temp});
    start(process, {QStringLiteral("generate"), tickets}, all);
    const QStringList lines = launch::finish(process);
    const QString document = launch::withPrefix(lines, QStringLiteral("done ")).value(0);
    // No file has this name: a check that the document exists then says what happened instead.
    return !document.isEmpty() ? document
                               : QStringLiteral("(no document: the harness ended with status %1, "
                                                "code %2, after:\n%3)")
                                     .arg(process.exitStatus())
                                     .arg(process.exitCode())
                                     .arg(lines.join(QLatin1Char('\n')));
}

// Office folders that the harness with that process id left behind.
inline QStringList officeFoldersOf(qint64 pid, const QString& tempRoot = QDir::tempPath())
{
    return QDir(tempRoot).entryList({QStringLiteral("ticketwright-office-%1-*").arg(pid)},
                                    QDir::Dirs);
}

} // namespace harness
