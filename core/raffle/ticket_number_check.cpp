#include "ticket_number_check.h"

#include "ticket_book.h"

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

// The ticket a number paragraph names, or 0 when its text is not one of the book's as printed.
int ticketOf(const QString& text, const TicketBook& book)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && book.holds(value) && ticket_numbers::format(value) == text ? value : 0;
}

// The runs of digits in text that read as one of the book's numbers as printed, in order.
QStringList ticketNumbersIn(const QString& text, const TicketBook& book)
{
    QStringList numbers;
    qsizetype start = -1;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        const bool digit = at < text.size() && text[at] >= u'0' && text[at] <= u'9';
        if (digit && start < 0) {
            start = at;
        } else if (!digit && start >= 0) {
            const QString run = text.mid(start, at - start);
            if (ticketOf(run, book) != 0) {
                numbers << run;
            }
            start = -1;
        }
    }
    return numbers;
}

QString describe(const QStringList& numbers, const TicketBook& book, bool ordered);

} // namespace

QString ticket_numbers::verify(const QStringList& numbers, const TicketBook& book)
{
    if (book.count() < 1 || numbers.isEmpty()) {
        return {};
    }
    return describe(numbers, book, true);
}

QString ticket_numbers::verifyText(const QString& text, const TicketBook& book,
                                   const QStringList& wording)
{
    QString numbersOnly = text;
    for (const QString& placed : wording) {
        if (!ticketNumbersIn(placed, book).isEmpty()) {
            numbersOnly.replace(placed, QStringLiteral("\r"));
        }
    }
    const QStringList numbers = ticketNumbersIn(numbersOnly, book);
    if (numbers.isEmpty()) {
        return QStringLiteral("The ticket template holds no ticket numbers (%1 to %2 in plain "
                              "text), so the tickets are not numbered.")
            .arg(format(1), format(kTicketsPerPage));
    }
    return describe(numbers, book, false);
}

namespace {

// What is wrong with the numbers, or an empty text; with ordered, the book's nth ticket in
// document order and its stub must be the (2n-1)th and (2n)th numbers.
QString describe(const QStringList& numbers, const TicketBook& book, bool ordered)
{
    std::vector<int> seen(static_cast<size_t>(book.count()), 0);
    QStringList damaged;
    bool outOfOrder = false;
    for (qsizetype k = 0; k < numbers.size(); ++k) {
        const int value = ticketOf(numbers[k], book);
        if (value == 0) {
            damaged << QStringLiteral("\"%1\"").arg(numbers[k]);
            continue;
        }
        ++seen[static_cast<size_t>(value - book.first())];
        outOfOrder = outOfOrder || (ordered && value != book.inDocumentOrder(int(k / 2)));
    }
    QStringList missing;
    QStringList doubled;
    for (int value = book.first(); value <= book.last(); ++value) {
        const int times = seen[static_cast<size_t>(value - book.first())];
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
        .arg(ticket_numbers::format(book.first()), ticket_numbers::format(book.last()),
             problems.join(QStringLiteral("; ")));
}

} // namespace

bool ticket_numbers::plainlyInOrder(const QString& text, int numberParagraphs,
                                    const TicketBook& book)
{
    const int count = book.count();
    if (count < 1 || numberParagraphs != 2 * count) {
        return false;
    }
    int seen = 0;
    for (const QStringView paragraph : QStringView(text).tokenize(u'\r')) {
        const int ticket = ticketOf(paragraph.toString(), book);
        if (ticket == 0) {
            continue;
        }
        // The nth number paragraph (from 0) must name the book's ticket n / 2.
        if (seen >= 2 * count || ticket != book.inDocumentOrder(seen / 2)) {
            return false;
        }
        ++seen;
    }
    return seen == 2 * count;
}
