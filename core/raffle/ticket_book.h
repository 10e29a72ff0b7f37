#pragma once

#include <QString>

#include <optional>

// The order in which a run's numbers fill its pages.
enum class TicketOrder
{
    // Page 1 holds the first five numbers, page 2 the next five, and so on.
    Sequence,
    // For a print shop's guillotine: position k of every page holds one run of numbers, so each
    // of the five cut piles is in order and continues the pile before it.
    CutAndStack
};

// Which numbers a run makes and where each stands: count tickets from first, five to a page.
class TicketBook
{
public:
    // The highest number a ticket may carry; the last number of a book reaches it at most.
    static constexpr int kHighestNumber = 99'999'999;
    // The most tickets one run makes. Measured on 2 cores (run_bench): 10,000 tickets take 9 s
    // and 381 MiB of office memory, 50,000 67 s and 1.3 GiB, 100,000 4 minutes and 2.5 GiB; the
    // time grows 3.6 times from 50,000 to 100,000 (the office's layout walks every page already
    // laid out), so twice as many would take a quarter of an hour. Larger raffles are made as
    // several books, each from its own first number.
    static constexpr int kMostTickets = 100'000;

    TicketBook(int first, int count, TicketOrder order = TicketOrder::Sequence);

    int first() const { return mFirst; }
    int last() const { return mFirst + mCount - 1; }
    int count() const { return mCount; }
    int pages() const { return mPages; }
    TicketOrder order() const { return mOrder; }
    bool holds(int number) const { return number >= first() && number <= last(); }

    // The number of the ticket at position 1 to 5 (top to bottom) of page 1 to pages().
    int numberAt(int page, int position) const;
    // The number of the index-th ticket (from 0) as the document holds them, page after page.
    int inDocumentOrder(int index) const;

    // What a person reads to know which numbers a run makes: "Tickets 0501 to 1000".
    QString rangeText() const;

private:
    int mFirst;
    int mCount;
    int mPages;
    TicketOrder mOrder;
};

// How many pages a run makes for the count as typed: the count rounded up to whole pages, and at
// least one page. Throws AppError when the count cannot be read or rounded. Every count of pages
// comes from here.
int pagesFor(const QString& countText);
// The tickets of those pages; nothing when the count cannot be read or rounded.
std::optional<int> ticketsMade(const QString& countText);

// What the person is told of a count no run can make (more than TicketBook::kMostTickets), or an
// empty text; an unreadable count (nullopt) is the count's own check's to report.
QString ticketCountProblem(std::optional<int> made);

// What the first-number field accepts, for a given (rounded) ticket count.
struct FirstNumberCheck
{
    enum class Outcome
    {
        Accepted,
        NotNumeric,
        OutOfRange
    };
    Outcome outcome = Outcome::NotNumeric;
    int number = 0;  // when Accepted
    QString message; // otherwise: what the person is told
};
// A whole number from 1 to kHighestNumber + 1 less the count; 1 is always taken, so a count too
// large for any other first number runs as it always has. An unreadable count (nullopt) is
// reported by the count's own check, and limits nothing here.
FirstNumberCheck checkFirstNumber(const QString& text, std::optional<int> count);
