#include "ticket_book.h"
#include "ticket_number_check.h"

#include <QTest>

#include <algorithm>

namespace {

// The number paragraphs of tickets in this order: each ticket's, then its stub's.
QStringList tickets(const QList<int>& numbers)
{
    QStringList paragraphs;
    for (int n : numbers) {
        paragraphs << ticket_numbers::format(n) << ticket_numbers::format(n);
    }
    return paragraphs;
}

} // namespace

class TestTicketNumberCheck : public QObject
{
    Q_OBJECT

private slots:
    void format()
    {
        QCOMPARE(ticket_numbers::format(7), QString("0007"));
        QCOMPARE(ticket_numbers::format(9999), QString("9999"));
        QCOMPARE(ticket_numbers::format(10000), QString("10000"));
    }

    void verify_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("complete") << tickets({1, 2, 3, 4, 5}) << 5 << "";
        QTest::newRow("a template without ticket numbers") << QStringList() << 5 << "";
        QTest::newRow("missing") << tickets({1, 2, 4, 5}) << 5 << "0003";
        QTest::newRow("doubled") << tickets({1, 2, 2, 3, 4, 5}) << 5 << "0002";
        QTest::newRow("out of order") << tickets({1, 3, 2, 4, 5}) << 5 << "out of order";
        QTest::newRow("stub without its ticket")
            << QStringList{"0001", "0002", "0001", "0002"} << 2 << "out of order";
        QTest::newRow("damaged") << tickets({1, 2, 3, 4}) + QStringList{"0005", "00 5"} << 5
                                 << "\"00 5\"";
        QTest::newRow("not padded")
            << tickets({1, 2, 3, 4}) + QStringList{"0005", "5"} << 5 << "\"5\"";
        QList<int> all;
        for (int n = 1; n <= 10000; ++n) {
            all << n;
        }
        QTest::newRow("five digits at the end") << tickets(all) << 10000 << "";
        QTest::newRow("many missing named briefly") << tickets({1}) << 40 << "and 29 more";
    }
    void verify()
    {
        QFETCH(QStringList, numbers);
        QFETCH(int, count);
        QFETCH(QString, mentions);
        const QString problem = ticket_numbers::verify(numbers, TicketBook(1, count));
        if (mentions.isEmpty()) {
            QCOMPARE(problem, QString());
        } else {
            QVERIFY2(problem.contains(mentions), qPrintable(problem));
        }
    }

    // A template without the ticket-number style: numbers found in the text, in any order.
    void verifyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("wording that holds a number")
            << "0001\rFair 0002\r0001\r0002\rFair 0002\r0002\r" << 2 << "";
        QTest::newRow("each twice, stubs after the tickets")
            << "No. 0001\rNo. 0002\rGala 2027 $500\rStub 0001\rStub 0002\r" << 2 << "";
        QTest::newRow("one missing") << "0001 0001 0002\r" << 2 << "0002";
        QTest::newRow("one three times") << "0001 0001 0002 0002 0002\r" << 2 << "0002";
        QTest::newRow("no numbers at all") << "Gala\r$500\r" << 5 << "holds no ticket numbers";
        QTest::newRow("a stand-in left over")
            << QString("0001 0001 ") + QString(4, QChar(0xE002)) << 2 << "0002";
    }
    void verifyText()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, mentions);
        const QString problem =
            ticket_numbers::verifyText(text, TicketBook(1, count), {"Fair 0002", "$500"});
        if (mentions.isEmpty()) {
            QCOMPARE(problem, QString());
        } else {
            QVERIFY2(problem.contains(mentions), qPrintable(problem));
        }
    }

    // The quick look passes only what verify would pass, and leaves doubt to it.
    void plainlyInOrder()
    {
        const auto page = [](const QStringList& numbers, const QString& wording) {
            QString text;
            for (int i = 0; i < numbers.size(); i += 2) {
                text += numbers[i] + "\r" + wording + "\r$500\r" + numbers[i + 1] + "\r";
            }
            return text;
        };
        QVERIFY(ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "RAFFLE 0003"), 6,
                                               TicketBook(1, 3)));
        QVERIFY(
            !ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "0002"), 6, TicketBook(1, 3)));
        QVERIFY(
            !ticket_numbers::plainlyInOrder(page(tickets({1, 3, 2}), "Gala"), 6, TicketBook(1, 3)));
        QVERIFY(
            !ticket_numbers::plainlyInOrder(page(tickets({1, 2}), "Gala"), 4, TicketBook(1, 3)));
        QVERIFY(
            !ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "Gala"), 7, TicketBook(1, 3)));
        QVERIFY(!ticket_numbers::plainlyInOrder(QString(), 0, TicketBook(1, 3)));
    }

    // Books of tickets: every number once, where its order puts it, and the check knows the order.
    void book_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<TicketOrder>("order");
        for (const int first : {1, 501, 9996}) {
            for (const int count : {5, 10, 25, 1000, 20000}) {
                for (const TicketOrder order : {TicketOrder::Sequence, TicketOrder::CutAndStack}) {
                    QTest::addRow("%d from %d, %s", count, first,
                                  order == TicketOrder::Sequence ? "in sequence" : "cut and stack")
                        << first << count << order;
                }
            }
        }
    }
    void book()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(TicketOrder, order);
        const TicketBook book(first, count, order);
        const int pages = count / ticket_numbers::kTicketsPerPage;
        QList<int> inDocument;
        for (int i = 0; i < count; ++i) {
            inDocument << book.inDocumentOrder(i);
        }
        QList<int> sorted = inDocument;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < count; ++i) {
            QCOMPARE(sorted[i], first + i); // each number exactly once
        }
        if (order == TicketOrder::Sequence) {
            QCOMPARE(book.numberAt(1, 5), first + 4);
        } else {
            // Cutting the stack gives five piles, top to bottom, each in order and each going on
            // from the one before.
            int next = first;
            for (int position = 1; position <= ticket_numbers::kTicketsPerPage; ++position) {
                for (int page = 1; page <= pages; ++page) {
                    QCOMPARE(book.numberAt(page, position), next++);
                }
            }
        }
        QCOMPARE(book.rangeText(), QStringLiteral("Tickets %1 to %2")
                                       .arg(ticket_numbers::format(first),
                                            ticket_numbers::format(first + count - 1)));

        const QStringList numbers = tickets(inDocument);
        QCOMPARE(ticket_numbers::verify(numbers, book), QString());
        QString text;
        for (const QString& number : numbers) {
            text += number + "\rRAFFLE\r";
        }
        QVERIFY(ticket_numbers::plainlyInOrder(text, numbers.size(), book));

        // Two tickets swapped (the first and last of the run) are caught.
        QList<int> swapped = inDocument;
        std::swap(swapped.first(), swapped.last());
        if (count > 1) {
            QVERIFY(ticket_numbers::verify(tickets(swapped), book).contains("out of order"));
            QVERIFY(!ticket_numbers::plainlyInOrder(tickets(swapped).join("\r") + "\r",
                                                    numbers.size(), book));
        }
        // The same numbers in the other order are not this book.
        const TicketBook other(first, count,
                               order == TicketOrder::Sequence ? TicketOrder::CutAndStack
                                                              : TicketOrder::Sequence);
        QCOMPARE(ticket_numbers::verify(numbers, other).isEmpty(), count <= 5);
    }

    // The first number: a whole number from 1, below the highest by the count; 1 always.
    void firstNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("accepted"); // 0 when refused
        QTest::addColumn<QString>("message");
        const QString range = "The first ticket number must be a whole number from 1 to %1.";
        QTest::newRow("default") << "1" << 20 << 1 << "";
        QTest::newRow("a second book") << " 501 " << 500 << 501 << "";
        QTest::newRow("zeros and exponent") << "0501" << 5 << 501 << "";
        QTest::newRow("written with an exponent") << "1e3" << 5 << 1000 << "";
        // The last ticket may carry 99999999.
        QTest::newRow("the highest") << "99999980" << 20 << 99999980 << "";
        QTest::newRow("one too high") << "99999981" << 20 << 0 << range.arg("99,999,980");
        QTest::newRow("zero") << "0" << 20 << 0 << range.arg("99,999,980");
        QTest::newRow("negative") << "-5" << 20 << 0 << range.arg("99,999,980");
        QTest::newRow("a fraction") << "1.5" << 20 << 0 << range.arg("99,999,980");
        QTest::newRow("huge") << "1e300" << 20 << 0 << range.arg("99,999,980");
        QTest::newRow("words") << "five" << 20 << 0 << "Must be numeric.";
        QTest::newRow("empty") << "" << 20 << 0 << "Must be numeric.";
        QTest::newRow("a count beyond the highest") << "1" << 200000000 << 1 << "";
        QTest::newRow("and no other first number") << "2" << 200000000 << 0 << range.arg("1");
    }
    void firstNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, accepted);
        QFETCH(QString, message);
        const FirstNumberCheck check = checkFirstNumber(text, count);
        QCOMPARE(check.outcome == FirstNumberCheck::Outcome::Accepted, accepted != 0);
        QCOMPARE(check.number, accepted);
        QCOMPARE(check.message, message);
    }

    // The count the run makes: whole pages, at least one.
    void ticketsMade()
    {
        QCOMPARE(::ticketsMade("20"), 20);
        QCOMPARE(::ticketsMade("21"), 25);
        QCOMPARE(::ticketsMade("0"), 5);
        QCOMPARE(::ticketsMade("-12"), 5);
        QCOMPARE(::ticketsMade("many"), std::nullopt);
        QCOMPARE(::ticketsMade("1e20"), std::nullopt);
    }

    // A count no run can make is refused by name; the arithmetic on the largest counts that can
    // be typed never overflows.
    void countsBeyondARun()
    {
        QCOMPARE(ticketCountProblem(TicketBook::kMostTickets), QString());
        QCOMPARE(ticketCountProblem(std::nullopt), QString());
        QVERIFY(ticketCountProblem(TicketBook::kMostTickets + 5).contains("at most 100,000"));
        const std::optional<int> largest = ::ticketsMade("2147483645");
        QCOMPARE(largest, 2147483645);
        QVERIFY(!ticketCountProblem(largest).isEmpty());
        const TicketBook book(1, *largest);
        QVERIFY(book.pages() > 0);
        QCOMPARE(book.last(), TicketBook::kHighestNumber);
        QCOMPARE(TicketBook(99999990, 10).rangeText(), QString("Tickets 99999990 to 99999999"));
    }
};

QTEST_GUILESS_MAIN(TestTicketNumberCheck)
#include "test_ticket_number_check.moc"
