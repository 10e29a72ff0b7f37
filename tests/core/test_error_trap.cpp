#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "scripted_seams.h"

#include <QTest>

namespace {

// A helper without a trap of its own: its failure belongs to whoever called it.
void helperThatFails()
{
    throw AppError(QStringLiteral("File not found"));
}

} // namespace

class TestErrorTrap : public QObject
{
    Q_OBJECT

private slots:
    void reportTextByteForByte()
    {
        const QString text = applicationErrorText("Permission denied",
                                                  identity::location("Form1", "Form_Load"), 128);
        QCOMPARE(text.toUtf8(), QByteArray("Permission denied\r\n"
                                           "in Tombolix2021/08/31.Form1.Form_Load at line 128\r\r"
                                           "Please email screenshot of this message to "
                                           "support@quorvane.com"));
    }

    void reportBoxTitleAndIcon()
    {
        ScriptedSeams seams;
        ReportApplicationError("x", "in y ", 100);
        QCOMPARE(seams.messages.size(), 1);
        QCOMPARE(seams.messages[0].title, QString("Application Error"));
        QCOMPARE(seams.messages[0].style, MsgStyle::OkExclamation);
    }

    void twoFailuresTwoReportsAndTheRestRuns()
    {
        ScriptedSeams seams;
        ErrorTrap trap(identity::location("Form1", "PushButton3_Click"));
        QStringList ran;
        trap.step(100, [&] { ran << "100"; });
        trap.step(102, [&] {
            helperThatFails();
            ran << "never";
        });
        trap.step(104, [&] { ran << "104"; });
        trap.step(106, [&] { throw std::runtime_error("second"); });
        const bool last = trap.step(108, [&] { ran << "108"; });

        QVERIFY(last);
        QCOMPARE(ran, QStringList({"100", "104", "108"}));
        QCOMPARE(trap.reports(), 2);
        QCOMPARE(seams.messages.size(), 2);
        QVERIFY(seams.messages[0].text.startsWith(
            "File not found\r\nin Tombolix2021/08/31.Form1.PushButton3_Click at line 102\r\r"));
        QVERIFY(seams.messages[1].text.startsWith("second\r\n"));
        QVERIFY(seams.messages[1].text.contains("at line 106\r\r"));
    }

    void unknownFailureStillReported()
    {
        ScriptedSeams seams;
        ErrorTrap trap("in here ");
        trap.step(100, [] { throw 42; });
        QCOMPARE(seams.messages.size(), 1);
        QVERIFY(seams.messages[0].text.startsWith("Unknown error\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestErrorTrap)
#include "test_error_trap.moc"
