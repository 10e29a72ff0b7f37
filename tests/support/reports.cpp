#include "reports.h"

#include <QRegularExpression>

namespace reports {

namespace {

QRegularExpressionMatch where(const QString& message)
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|\\s)in (\\S+) at line (\\d+)(?:\\s|$)"));
    return pattern.match(message);
}

} // namespace

QStringList steps(const QStringList& messages)
{
    QStringList found;
    for (const QString& message : messages) {
        const QRegularExpressionMatch match = where(message);
        found << (match.hasMatch() ? match.captured(1) + QLatin1Char(':') + match.captured(2)
                                   : message);
    }
    return found;
}

QStringList labels(const QStringList& messages)
{
    QStringList found;
    for (const QString& message : messages) {
        const QRegularExpressionMatch match = where(message);
        found << (match.hasMatch() ? match.captured(2) : message);
    }
    return found;
}

QString readable(const QStringList& messages)
{
    QStringList lines;
    for (const QString& message : messages) {
        lines << QString(message)
                     .replace(QLatin1Char('\r'), QLatin1Char(' '))
                     .replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return lines.join(QStringLiteral(" | "));
}

} // namespace reports
