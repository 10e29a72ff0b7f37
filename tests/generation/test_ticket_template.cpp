#include "office_probe.h"
#include "ticket_template.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The embedded template holds what the generation run searches for.
class TestTicketTemplate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isAWord97Template();
    void holdsEachTicketNumberTwice();
    void holdsTheWordingOfEveryTicket();
    void definesTheStylesAndTheArt();
    void isOnePage();

private:
    QTemporaryDir dir_;
    QByteArray bytes_;
    QString path_;
    QString text_;
};

void TestTicketTemplate::initTestCase()
{
    bytes_ = ticketTemplateBytes();
    QVERIFY(!bytes_.isEmpty());
    path_ = dir_.filePath(QStringLiteral("template.dot"));
    QFile file(path_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes_);
    file.close();
    text_ = probe::docText(QStringLiteral("catdoc"), path_);
    QVERIFY(!text_.isEmpty());
}

void TestTicketTemplate::isAWord97Template()
{
    QCOMPARE(bytes_.left(8), QByteArray::fromHex("d0cf11e0a1b11ae1"));
    // The same bytes under the resource's own name.
    QFile resource(QStringLiteral(":/CUSTOM/101"));
    QVERIFY(resource.open(QIODevice::ReadOnly));
    QCOMPARE(resource.readAll(), bytes_);
}

void TestTicketTemplate::holdsEachTicketNumberTwice()
{
    for (int n = 1; n <= 5; ++n) {
        const QString number = QStringLiteral("000%1").arg(n);
        QCOMPARE(probe::occurrences(text_, number), 2);
    }
    QCOMPARE(probe::occurrences(text_, QStringLiteral("0006")), 0);
    // Each copy is a paragraph of its own, so it can be found and renumbered alone.
    const QStringList paragraphs = text_.split(QLatin1Char('\n'));
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(paragraphs.count(QStringLiteral("000%1").arg(n)), 2);
    }
    // Numbers in reading order: ticket n's two copies come before ticket n + 1's.
    for (int n = 1; n < 5; ++n) {
        QVERIFY(text_.lastIndexOf(QStringLiteral("000%1").arg(n)) <
                text_.indexOf(QStringLiteral("000%1").arg(n + 1)));
    }
}

void TestTicketTemplate::holdsTheWordingOfEveryTicket()
{
    const QStringList ticket = {
        QStringLiteral("[Name of Raffle Event]"),
        QStringLiteral("Drawing Will Be Held at the End of the Night"), QStringLiteral("1st Prize"),
        QStringLiteral("2nd Prize"), QStringLiteral("3rd Prize"), QStringLiteral("$500"),
        QStringLiteral("$250"), QStringLiteral("$100"),
        QStringLiteral("Do not Have to Be Present to Win / Donation - $10"),
        // the stub
        QStringLiteral("[Name of Raffle Event]"), QStringLiteral("Name:"), QStringLiteral("Phone:"),
        QStringLiteral("Email:"),
        QStringLiteral("Do not Have to Be Present to Win / Donation - $10")};
    for (int n = 1; n <= 5; ++n) {
        const QString number = QStringLiteral("000%1").arg(n);
        qsizetype at = text_.indexOf(number);
        for (const QString& item : ticket) {
            const qsizetype next = text_.indexOf(item, at);
            QVERIFY2(next > at, qPrintable(number + QStringLiteral(": ") + item));
            at = next + item.size();
        }
        QCOMPARE(text_.indexOf(number, at), text_.lastIndexOf(number)); // the stub's number last
    }
    QCOMPARE(probe::occurrences(text_, QStringLiteral("[Name of Raffle Event]")), 10);
    QVERIFY(!text_.contains(QStringLiteral("PRize")));
    QCOMPARE(
        probe::occurrences(text_, QStringLiteral("Drawing Will Be Held at the End of the Night")),
        5);
}

void TestTicketTemplate::definesTheStylesAndTheArt()
{
    // Style and shape names are stored as UTF-16 in the file.
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    for (const QString& name :
         {QStringLiteral("Title"), QStringLiteral("Subtitle"), QStringLiteral("Strong"),
          QStringLiteral("Prize Heading"), QStringLiteral("Prize Value"), QStringLiteral("Terms"),
          QStringLiteral("Ticket No."), QStringLiteral("Raffle Ticket Background Art")}) {
        QVERIFY2(bytes_.contains(utf16(name)), qPrintable(name));
    }
    for (int n = 1; n <= 5; ++n) {
        QVERIFY(bytes_.contains(utf16(QStringLiteral("Ticket Fill %1").arg(n))));
        QVERIFY(bytes_.contains(utf16(QStringLiteral("Star Left %1").arg(n))));
        QVERIFY(bytes_.contains(utf16(QStringLiteral("Star Right %1").arg(n))));
    }
}

void TestTicketTemplate::isOnePage()
{
    QCOMPARE(probe::pageCount(path_), 1);
}

QTEST_MAIN(TestTicketTemplate)
#include "test_ticket_template.moc"
