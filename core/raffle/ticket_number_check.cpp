#include "ticket_number_check.h"

#include <vector>

QString ticket_numbers::format(int number)
{
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

namespace {

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

// The ticket a number paragraph names, or 0 when its text is not one of 1..count as printed.
int ticketOf(const QString& text, int count)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 1 && value <= count && ticket_numbers::format(value) == text ? value : 0;
}

// The runs of digits in text that read as one of 1..count as printed, in order.
QStringList ticketNumbersIn(const QString& text, int count)
{
    QStringList numbers;
    qsizetype start = -1;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        const bool digit = at < text.size() && text[at] >= u'0' && text[at] <= u'9';
        if (digit && start < 0) {
            start = at;
        } else if (!digit && start >= 0) {
            const QString run = text.mid(start, at - start);
            if (ticketOf(run, count) != 0) {
                numbers << run;
            }
            start = -1;
        }
    }
    return numbers;
}

QString describe(const QStringList& numbers, int count, bool ordered);

} // namespace

QString ticket_numbers::verify(const QStringList& numbers, int count)
{
    if (count < 1 || numbers.isEmpty()) {
        return {};
    }
    return describe(numbers, count, true);
}

QString ticket_numbers::verifyText(const QString& text, int count, const QStringList& wording)
{
    QString numbersOnly = text;
    for (const QString& placed : wording) {
        if (!ticketNumbersIn(placed, count).isEmpty()) {
            numbersOnly.replace(placed, QStringLiteral("\r"));
        }
    }
    const QStringList numbers = ticketNumbersIn(numbersOnly, count);
    if (numbers.isEmpty()) {
        return QStringLiteral("The ticket template holds no ticket numbers (%1 to %2 in plain "
                              "text), so the tickets are not numbered.")
            .arg(format(1), format(kTicketsPerPage));
    }
    return describe(numbers, count, false);
}

namespace {

// What is wrong with the numbers, or an empty text; with ordered, ticket n and its stub must be
// the (2n-1)th and (2n)th numbers.
QString describe(const QStringList& numbers, int count, bool ordered)
{
    std::vector<int> seen(static_cast<size_t>(count) + 1, 0);
    QStringList damaged;
    bool outOfOrder = false;
    for (qsizetype k = 0; k < numbers.size(); ++k) {
        const int value = ticketOf(numbers[k], count);
        if (value == 0) {
            damaged << QStringLiteral("\"%1\"").arg(numbers[k]);
            continue;
        }
        ++seen[static_cast<size_t>(value)];
        outOfOrder = outOfOrder || (ordered && value != k / 2 + 1);
    }
    QStringList missing;
    QStringList doubled;
    for (int value = 1; value <= count; ++value) {
        const int times = seen[static_cast<size_t>(value)];
        if (times < 2) {
            missing << ticket_numbers::format(value);
        } else if (times > 2) {
            doubled << ticket_numbers::format(value);
        }
    }
    QStringList problems;
    if (!missing.isEmpty()) {
        problems << QStringLiteral("numbers missing or printed once: %1").arg(list(missing));
    }
    if (!doubled.isEmpty()) {
        problems << QStringLiteral("numbers printed more than twice: %1").arg(list(doubled));
    }
    if (!damaged.isEmpty()) {
        problems
            << QStringLiteral("numbers that are not tickets of this run: %1").arg(list(damaged));
    }
    if (problems.isEmpty() && outOfOrder) {
        problems << QStringLiteral("the numbers are out of order");
    }
    if (problems.isEmpty()) {
        return {};
    }
    return QStringLiteral("The ticket document does not hold tickets %1 to %2 as expected (%3).")
        .arg(ticket_numbers::format(1), ticket_numbers::format(count),
             problems.join(QStringLiteral("; ")));
}

} // namespace

bool ticket_numbers::plainlyInOrder(const QString& text, int numberParagraphs, int count)
{
    if (count < 1 || numberParagraphs != 2 * count) {
        return false;
    }
    int seen = 0;
    for (const QStringView paragraph : QStringView(text).tokenize(u'\r')) {
        const int ticket = ticketOf(paragraph.toString(), count);
        if (ticket == 0) {
            continue;
        }
        // The nth number paragraph (from 0) must name ticket n / 2 + 1.
        if (seen >= 2 * count || ticket != seen / 2 + 1) {
            return false;
        }
        ++seen;
    }
    return seen == 2 * count;
}
