#include "ticket_number_check.h"

#include <QTest>

namespace {

QString tickets(const QList<int>& numbers)
{
    QString text;
    for (int n : numbers) {
        text +=
            TicketNumberCheck::format(n) + " Name: Phone: " + TicketNumberCheck::format(n) + "\n";
    }
    return text;
}

} // namespace

class TestTicketNumberCheck : public QObject
{
    Q_OBJECT

private slots:
    void format()
    {
        QCOMPARE(TicketNumberCheck::format(7), QString("0007"));
        QCOMPARE(TicketNumberCheck::format(9999), QString("9999"));
        QCOMPARE(TicketNumberCheck::format(10000), QString("10000"));
    }

    void verify_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("wording");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("complete") << tickets({1, 2, 3, 4, 5}) << 5 << QStringList() << "";
        QTest::newRow("prices are not tickets")
            << tickets({1, 2, 3, 4, 5}) + "$500 $250 100" << 5 << QStringList() << "";
        QTest::newRow("missing") << tickets({1, 2, 4, 5}) << 5 << QStringList() << "0003";
        QTest::newRow("doubled") << tickets({1, 2, 2, 3, 4, 5}) << 5 << QStringList() << "0002";
        QTest::newRow("out of order")
            << tickets({1, 3, 2, 4, 5}) << 5 << QStringList() << "out of order";
        QList<int> all;
        for (int n = 1; n <= 10000; ++n) {
            all << n;
        }
        QTest::newRow("five digits at the end") << tickets(all) << 10000 << QStringList() << "";
        QTest::newRow("a prize that looks like a ticket")
            << tickets({1, 2, 3, 4, 5}) + "$0003 $0003" << 5 << QStringList{"$0003"} << "";
        QTest::newRow("digits inside a longer run")
            << tickets({1, 2, 3, 4, 5}) + "200031" << 5 << QStringList() << "";
        QTest::newRow("many missing named briefly")
            << QString() << 40 << QStringList() << "and 30 more";
    }
    void verify()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QStringList, wording);
        QFETCH(QString, mentions);
        const QString problem = TicketNumberCheck::verify(text, count, wording);
        if (mentions.isEmpty()) {
            QCOMPARE(problem, QString());
        } else {
            QVERIFY2(problem.contains(mentions), qPrintable(problem));
        }
    }
};

QTEST_GUILESS_MAIN(TestTicketNumberCheck)
#include "test_ticket_number_check.moc"
