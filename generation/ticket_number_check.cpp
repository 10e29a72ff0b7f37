#include "ticket_number_check.h"

#include <vector>

QString TicketNumberCheck::format(int number)
{
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Calls found(start, length) for every whole run of ASCII digits.
template <typename Found> void forEachDigitRun(const QString& text, Found found)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (!isAsciiDigit(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && isAsciiDigit(text[end])) {
            ++end;
        }
        found(i, end - i);
        i = end;
    }
}

// Names at most a handful, so the report stays readable for a run of thousands.
QString list(const QStringList& numbers)
{
    constexpr int kShown = 10;
    QString text = numbers.mid(0, kShown).join(QStringLiteral(", "));
    if (numbers.size() > kShown) {
        text += QStringLiteral(" and %1 more").arg(numbers.size() - kShown);
    }
    return text;
}

} // namespace

QString TicketNumberCheck::verify(const QString& documentText, int count,
                                  const QStringList& wording)
{
    if (count < 1) {
        return {};
    }
    // A ticket number is a whole run of digits, printed at least four wide.
    auto ticketNumber = [count](const QString& text, qsizetype start, qsizetype length) {
        if (length < 4 || length > 10) {
            return 0;
        }
        bool ok = false;
        const qint64 value = text.mid(start, length).toLongLong(&ok);
        if (!ok || value < 1 || value > count || format(static_cast<int>(value)).size() != length) {
            return 0;
        }
        return static_cast<int>(value);
    };
    std::vector<bool> unchecked(static_cast<size_t>(count) + 1, false);
    for (const QString& text : wording) {
        forEachDigitRun(text, [&](qsizetype start, qsizetype length) {
            unchecked[static_cast<size_t>(ticketNumber(text, start, length))] = true;
        });
    }
    std::vector<int> seen(static_cast<size_t>(count) + 1, 0);
    int lastCompleted = 0; // highest number seen twice so far, for the order test
    bool outOfOrder = false;
    forEachDigitRun(documentText, [&](qsizetype start, qsizetype length) {
        const int value = ticketNumber(documentText, start, length);
        if (value == 0 || unchecked[static_cast<size_t>(value)]) {
            return;
        }
        int& times = seen[static_cast<size_t>(value)];
        ++times;
        if (value < lastCompleted) {
            outOfOrder = true;
        }
        if (times == 2) {
            lastCompleted = qMax(lastCompleted, value);
        }
    });
    QStringList missing;
    QStringList doubled;
    for (int value = 1; value <= count; ++value) {
        if (unchecked[static_cast<size_t>(value)]) {
            continue;
        }
        const int times = seen[static_cast<size_t>(value)];
        if (times < 2) {
            missing << format(value);
        } else if (times > 2) {
            doubled << format(value);
        }
    }
    QStringList problems;
    if (!missing.isEmpty()) {
        problems << QStringLiteral("numbers missing or printed once: %1").arg(list(missing));
    }
    if (!doubled.isEmpty()) {
        problems << QStringLiteral("numbers printed more than twice: %1").arg(list(doubled));
    }
    if (problems.isEmpty() && outOfOrder) {
        problems << QStringLiteral("the numbers are out of order");
    }
    if (problems.isEmpty()) {
        return {};
    }
    return QStringLiteral("The ticket document does not hold tickets %1 to %2 as expected (%3).")
        .arg(format(1), format(count), problems.join(QStringLiteral("; ")));
}
