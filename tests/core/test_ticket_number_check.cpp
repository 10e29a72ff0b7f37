#include "ticket_number_check.h"

#include <QTest>

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
        const QString problem = ticket_numbers::verify(numbers, count);
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
        const QString problem = ticket_numbers::verifyText(text, count, {"Fair 0002", "$500"});
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
        QVERIFY(ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "RAFFLE 0003"), 6, 3));
        QVERIFY(!ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "0002"), 6, 3));
        QVERIFY(!ticket_numbers::plainlyInOrder(page(tickets({1, 3, 2}), "Gala"), 6, 3));
        QVERIFY(!ticket_numbers::plainlyInOrder(page(tickets({1, 2}), "Gala"), 4, 3));
        QVERIFY(!ticket_numbers::plainlyInOrder(page(tickets({1, 2, 3}), "Gala"), 7, 3));
        QVERIFY(!ticket_numbers::plainlyInOrder(QString(), 0, 3));
    }
};

QTEST_GUILESS_MAIN(TestTicketNumberCheck)
#include "test_ticket_number_check.moc"
