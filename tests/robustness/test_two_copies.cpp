// Two copies of the real program at once, sharing the settings store and, in one case, the
// temporary folder: both generate complete documents on offices of their own, and the store
// keeps whole values when both type.

#include "harness_process.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestTwoCopies : public QObject
{
    Q_OBJECT

private slots:
    void bothGenerate_data()
    {
        QTest::addColumn<bool>("sharedTemp");
        QTest::newRow("temporary folders of their own") << false;
        QTest::newRow("one temporary folder") << true;
    }
    void bothGenerate()
    {
        QFETCH(bool, sharedTemp);
        QTemporaryDir config, tempA, tempB;
        QProcess a, b;
        harness::start(a, {QStringLiteral("generate"), QStringLiteral("10")},
                       {{QStringLiteral("XDG_CONFIG_HOME"), config.path()},
                        {QStringLiteral("TEMP"), tempA.path()}});
        harness::start(b, {QStringLiteral("generate"), QStringLiteral("15")},
                       {{QStringLiteral("XDG_CONFIG_HOME"), config.path()},
                        {QStringLiteral("TEMP"), sharedTemp ? tempA.path() : tempB.path()}});
        const qint64 pidA = a.processId(), pidB = b.processId();
        const QStringList linesA = launch::finish(a), linesB = launch::finish(b);
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QVERIFY2(harness::reportedSteps(linesA + linesB).isEmpty(),
                 qPrintable((linesA + linesB).join(QLatin1Char('\n'))));
        const QString docA = launch::withPrefix(linesA, QStringLiteral("done ")).value(0);
        const QString docB = launch::withPrefix(linesB, QStringLiteral("done ")).value(0);
        QVERIFY(!docA.isEmpty() && !docB.isEmpty() && docA != docB);
        QCOMPARE(harness::ticketNumbers(docA), harness::everyTicketTwice(10));
        QCOMPARE(harness::ticketNumbers(docB), harness::everyTicketTwice(15));
        if (sharedTemp) {
            QStringList both = {QFileInfo(docA).fileName(), QFileInfo(docB).fileName()};
            both.sort();
            QCOMPARE(QDir(tempA.path())
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     both);
        }
        QVERIFY(harness::officeFoldersOf(pidA).isEmpty());
        QVERIFY(harness::officeFoldersOf(pidB).isEmpty());
    }

    // Both type into the first field at once, keystroke by keystroke into one store.
    void typingAtOnceLastWriteWins()
    {
        QTemporaryDir config;
        const QString spring = QStringLiteral("Spring Fair 2027");
        const QString autumn = QStringLiteral("Autumn Gala at the old mill");
        QProcess a, b;
        const launch::Environment env = {{QStringLiteral("XDG_CONFIG_HOME"), config.path()}};
        harness::start(a, {QStringLiteral("type"), spring, QStringLiteral("3")}, env);
        harness::start(b, {QStringLiteral("type"), autumn, QStringLiteral("3")}, env);
        launch::finish(a);
        launch::finish(b);
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QSettings store(config.filePath(QStringLiteral("Quorvane.conf")), QSettings::IniFormat);
        QCOMPARE(store.status(), QSettings::NoError);
        store.beginGroup(QStringLiteral("Ticketwright"));
        QCOMPARE(store.childKeys().size(), 8);
        const QString text1 = store.value(QStringLiteral("Text1")).toString();
        QVERIFY2(text1 == spring || text1 == autumn, qPrintable(text1));
        QCOMPARE(store.value(QStringLiteral("Text3")).toString(), QStringLiteral("$500"));
        // No lock or scratch file of the store is left beside it.
        QCOMPARE(QDir(config.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Quorvane.conf")});
    }
};

QTEST_GUILESS_MAIN(TestTwoCopies)
#include "test_two_copies.moc"
