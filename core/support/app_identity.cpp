#include "app_identity.h"

namespace identity {

QString shortenTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0) {
            break;
        }
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

QString applicationTitle()
{
    return shortenTitle(kProductName);
}

QString location(const QString& window, const QString& procedure)
{
    return QStringLiteral("in Tombolix2021/08/31.%1.%2 ").arg(window, procedure);
}

} // namespace identity
