#pragma once

#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>

// Starts programs from tests (the program in pieces, the office, document readers) and reads
// what they say.
namespace launch {

using Environment = QList<QPair<QString, QString>>;

// A program built beside the running test, such as tw_harness.
QString besideTest(const QString& name);

// Starts program with the test's environment plus env, on the offscreen platform, with its
// errors passed through to the test's; prefix (for instance a command that changes the user or
// a limit) runs it.
void start(QProcess& process, const QString& program, const QStringList& args,
           const Environment& env = {}, const QStringList& prefix = {});

// The next line of standard output that starts with prefix, trimmed; empty when the program
// ends or waitMs passes first.
QString waitForLine(QProcess& process, const QString& prefix, int waitMs = 120000);

// Every line the program wrote to standard output, once it has ended (a generous bound: a stuck
// program fails the test rather than hanging it).
QStringList finish(QProcess& process);

// The lines that start with prefix, without it.
QStringList withPrefix(const QStringList& lines, const QString& prefix);

// Runs program to its end and returns what it wrote to standard output; empty when it did not
// end within waitMs.
QString outputOf(const QString& program, const QStringList& args, int waitMs);

} // namespace launch
