#include "program_launcher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcessEnvironment>

namespace launch {

QString besideTest(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

void start(QProcess& process, const QString& program, const QStringList& args,
           const Environment& env, const QStringList& prefix)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [name, value] : env) {
        environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (prefix.isEmpty()) {
        process.start(program, args);
    } else {
        process.start(prefix.first(), prefix.mid(1) + QStringList{program} + args);
    }
}

QString waitForLine(QProcess& process, const QString& prefix, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (line.startsWith(prefix)) {
                return line;
            }
        }
        if (process.state() == QProcess::NotRunning) {
            return {};
        }
        process.waitForReadyRead(100);
    }
    return {};
}

QStringList finish(QProcess& process)
{
    process.waitForFinished(600000);
    return QString::fromUtf8(process.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList withPrefix(const QStringList& lines, const QString& prefix)
{
    QStringList found;
    for (const QString& line : lines) {
        if (line.startsWith(prefix)) {
            found << line.mid(prefix.size());
        }
    }
    return found;
}

QString outputOf(const QString& program, const QStringList& args, int waitMs)
{
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(waitMs) ? QString::fromUtf8(process.readAllStandardOutput())
                                           : QString();
}

} // namespace launch
