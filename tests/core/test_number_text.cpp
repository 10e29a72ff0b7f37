#include "app_error.h"
#include "number_text.h"

#include <QTest>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void roundUp_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero gives the step") << "0"
                                             << "5";
        QTest::newRow("multiple kept") << "20"
                                       << "20";
        QTest::newRow("next multiple") << "21"
                                       << "25";
        QTest::newRow("one") << "1"
                             << "5";
        QTest::newRow("negative away from zero") << "-7"
                                                 << "-10";
        QTest::newRow("small negative") << "-3"
                                        << "-5";
        QTest::newRow("fraction rounds down first") << "7.4"
                                                    << "10";
        QTest::newRow("whole multiple keeps its text") << "9.6"
                                                       << "9.6";
        QTest::newRow("half to even, 2") << "2.5"
                                         << "5";
        QTest::newRow("half to even, 12") << "12.5"
                                          << "15";
        QTest::newRow("fraction whose whole is zero") << "0.4"
                                                      << "0.4";
        QTest::newRow("text kept exactly") << "0020"
                                           << "0020";
        QTest::newRow("blanks kept with the text") << " 25 "
                                                   << " 25 ";
        QTest::newRow("plus sign dropped") << "+7"
                                           << "10";
        QTest::newRow("exponent") << "2e1"
                                  << "2e1";
        QTest::newRow("largest accepted") << "2147483645"
                                          << "2147483645";
        QTest::newRow("rounds up to the largest") << "2147483641"
                                                  << "2147483645";
        QTest::newRow("smallest accepted") << "-2147483641"
                                           << "-2147483645";
    }
    void roundUp()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(RoundUpToMultiple(value, 5), expected);
    }

    void roundUpFailures_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "";
        QTest::newRow("word") << "ten";
        QTest::newRow("result beyond 32 bits") << "2147483646";
        QTest::newRow("value beyond 32 bits") << "99999999999";
        QTest::newRow("negative result beyond 32 bits") << "-2147483648";
    }
    void roundUpFailures()
    {
        QFETCH(QString, value);
        QVERIFY_THROWS_EXCEPTION(AppError, RoundUpToMultiple(value, 5));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12" << true << 12.0;
        QTest::newRow("signs") << "-12" << true << -12.0;
        QTest::newRow("fraction") << "1.5" << true << 1.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1E3" << true << 1000.0;
        QTest::newRow("blanks around") << "  7\t" << true << 7.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("grouping") << "1 000" << false << 0.0;
        QTest::newRow("currency") << "$10" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("infinity") << "inf" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
        QTest::newRow("exponent overflow") << "1e999" << false << 0.0;
        QTest::newRow("dangling exponent") << "1e" << false << 0.0;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0.0;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        const std::optional<double> number = parseNumber(text);
        QCOMPARE(number.has_value(), accepted);
        if (accepted) {
            QCOMPARE(*number, value);
        }
    }

    void ticketCountCheck()
    {
        QCOMPARE(checkTicketCount("7").text, QString("10"));
        QCOMPARE(checkTicketCount("").outcome, TicketCountCheck::Outcome::NotNumeric);
        QCOMPARE(checkTicketCount("abc").outcome, TicketCountCheck::Outcome::NotNumeric);
        QCOMPARE(checkTicketCount("3000000000").outcome, TicketCountCheck::Outcome::OutOfRange);
        QVERIFY(ticketCountRangeMessage().contains("2147483645"));
    }

    void wholeDivision()
    {
        QCOMPARE(wholeDivide(5.4, 5), 1);
        QCOMPARE(wholeDivide(10000, 5), 2000);
        QCOMPARE(wholeDivide(-10, 5), -2);
        QCOMPARE(wholeDivide(12.5, 5), 2);
        QVERIFY_THROWS_EXCEPTION(AppError, wholeDivide(5, 0.4));
    }

    void wholeNumbersOutsideTheirTypeAreRefused()
    {
        QCOMPARE(checkedWhole<qint32>(2147483647.0), std::optional<qint32>(2147483647));
        QCOMPARE(checkedWhole<qint32>(-2147483648.0), std::optional<qint32>(-2147483647 - 1));
        QCOMPARE(checkedWhole<qint32>(2147483648.0), std::nullopt);
        QCOMPARE(checkedWhole<qint32>(-2147483649.0), std::nullopt);
        QCOMPARE(checkedWhole<qint16>(-32768.0), std::optional<qint16>(-32768));
        QCOMPARE(checkedWhole<qint16>(32768.0), std::nullopt);
        QCOMPARE(checkedWhole<qint32>(std::nan("")), std::nullopt);
        QCOMPARE(checkedWhole<qint32>(-HUGE_VAL), std::nullopt);
    }

    // Texts made of the characters that matter to the reader, in every order: nothing crashes,
    // whatever is accepted rounds by the rule, whatever is refused is refused with a reason.
    void generatedTexts()
    {
        const QString alphabet = QStringLiteral("0123456789+-.eE $,x");
        quint32 state = 12345;
        auto next = [&state] {
            state = state * 1103515245u + 12345u;
            return (state >> 16) & 0x7fff;
        };
        int accepted = 0;
        for (int i = 0; i < 10000; ++i) {
            QString text;
            const int length = static_cast<int>(next() % 12);
            for (int k = 0; k < length; ++k) {
                text += alphabet[static_cast<int>(next() % alphabet.size())];
            }
            const TicketCountCheck check = checkTicketCount(text);
            const std::optional<double> number = parseNumber(text);
            if (check.outcome != TicketCountCheck::Outcome::Rounded) {
                QVERIFY(!number || std::abs(*number) > 2147483640.0);
                continue;
            }
            ++accepted;
            QVERIFY(number.has_value());
            if (check.text == text) {
                QVERIFY(*number != 0);
                QCOMPARE(static_cast<qint64>(roundHalfEven(*number)) % 5, 0);
            } else {
                const qint64 result = check.text.toLongLong();
                QCOMPARE(result % 5, 0);
                QVERIFY(result != 0);
                QVERIFY(std::abs(result) >= std::abs(roundHalfEven(*number)));
                QVERIFY(std::abs(result) - std::abs(roundHalfEven(*number)) <= 5);
            }
        }
        QVERIFY(accepted > 100);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
