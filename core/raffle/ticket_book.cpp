#include "ticket_book.h"

#include "app_error.h"
#include "number_text.h"
#include "ticket_number_check.h"

#include <QLocale>

#include <algorithm>

TicketBook::TicketBook(int first, int count, TicketOrder order)
    : mFirst(first), mCount(std::clamp(count, 0, kHighestNumber)),
      // Rounded up without adding first, which would overflow near the top of the range.
      mPages(mCount / ticket_numbers::kTicketsPerPage +
             (mCount % ticket_numbers::kTicketsPerPage != 0 ? 1 : 0)),
      mOrder(order)
{}

int TicketBook::numberAt(int page, int position) const
{
    if (mOrder == TicketOrder::CutAndStack) {
        return mFirst + (position - 1) * mPages + (page - 1);
    }
    return mFirst + (page - 1) * ticket_numbers::kTicketsPerPage + (position - 1);
}

int TicketBook::inDocumentOrder(int index) const
{
    return numberAt(index / ticket_numbers::kTicketsPerPage + 1,
                    index % ticket_numbers::kTicketsPerPage + 1);
}

QString TicketBook::rangeText() const
{
    return QStringLiteral("Tickets %1 to %2")
        .arg(ticket_numbers::format(first()), ticket_numbers::format(last()));
}

int pagesFor(const QString& countText)
{
    constexpr int kPerPage = ticket_numbers::kTicketsPerPage;
    const std::optional<double> count = parseNumber(RoundUpToMultiple(countText, kPerPage));
    if (!count) {
        throw AppError(QStringLiteral("The ticket count could not be read as a number."));
    }
    return *count > kPerPage ? wholeDivide(*count, kPerPage) : 1;
}

std::optional<int> ticketsMade(const QString& countText)
{
    try {
        // At most 2^31 / 5 pages: five tickets to each stays within an int.
        return pagesFor(countText) * ticket_numbers::kTicketsPerPage;
    } catch (const AppError&) {
        return std::nullopt;
    }
}

QString ticketCountProblem(std::optional<int> made)
{
    if (!made || *made <= TicketBook::kMostTickets) {
        return {};
    }
    const QLocale english(QLocale::English);
    return QStringLiteral("A run makes at most %1 tickets (%2 pages). Make more as several books, "
                          "each with its own first ticket number.")
        .arg(english.toString(TicketBook::kMostTickets),
             english.toString(TicketBook::kMostTickets / ticket_numbers::kTicketsPerPage));
}

FirstNumberCheck checkFirstNumber(const QString& text, std::optional<int> count)
{
    FirstNumberCheck check;
    const std::optional<double> value = parseNumber(text);
    if (!value) {
        check.message = QStringLiteral("Must be numeric.");
        return check;
    }
    const int highest =
        std::max(1, TicketBook::kHighestNumber + 1 -
                        std::clamp(count.value_or(0), 0, TicketBook::kHighestNumber));
    const std::optional<int> whole = checkedWhole<int>(*value);
    if (!whole || double(*whole) != *value || *whole < 1 || *whole > highest) {
        check.outcome = FirstNumberCheck::Outcome::OutOfRange;
        check.message =
            QStringLiteral("The first ticket number must be a whole number from 1 to %1.")
                .arg(QLocale(QLocale::English).toString(highest));
        return check;
    }
    check.outcome = FirstNumberCheck::Outcome::Accepted;
    check.number = *whole;
    return check;
}
