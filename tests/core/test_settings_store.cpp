#include "app_error.h"
#include "random_bytes.h"
#include "settings_store.h"
#include "test_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

namespace {

void writeStore(const QByteArray& bytes)
{
    QFile file(settings::location("App"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir mHome;

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mHome.path());
        QFile::remove(settings::location("App"));
    }

    // A writer killed after it made the store's lock but before it wrote its id there leaves an
    // empty lock: the next write takes it at once, where the lock's own wait gives up after 30 s.
    void anEmptyLockLeftByAKilledWriterIsTakenAtOnce()
    {
        writeBytes(settings::location("App") + QStringLiteral(".lock"), {});
        // Written on a thread of its own, so that a wait for the lock shows as one here.
        auto write = std::async(std::launch::async,
                                [] { settings::SaveSetting("App", "Section", "Text1", "after"); });
        QVERIFY2(write.wait_for(std::chrono::seconds(10)) == std::future_status::ready,
                 "the write waited for a lock nobody holds");
        write.get();
        QCOMPARE(settings::GetSetting("App", "Section", "Text1", "default"), QString("after"));
    }

    void missingKeyGivesDefault()
    {
        QCOMPARE(settings::GetSetting("App", "Section", "Text3", "$500"), QString("$500"));
    }

    void emptyValueIsNotTheDefault()
    {
        settings::SaveSetting("App", "Section", "Text7", "");
        QCOMPARE(settings::GetSetting("App", "Section", "Text7", "$10"), QString());
    }

    void valuesComeBackUnchanged_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("blanks") << "  padded  ";
        QTest::newRow("unicode") << QString::fromUtf8("Tómbola 抽奖 عرض 🎟");
        QTest::newRow("separators") << "a=b;c,d\\e/f#g[h]";
        QTest::newRow("long") << QString(10000, QChar('x'));
        QTest::newRow("line breaks") << "one\ntwo\r\n";
    }
    void valuesComeBackUnchanged()
    {
        QFETCH(QString, value);
        settings::SaveSetting("App", "Section", "Text1", value);
        QCOMPARE(settings::GetSetting("App", "Section", "Text1", "default"), value);
        // What the store writes is never taken for damage.
        QCOMPARE(settings::SetAsideIfDamaged("App", "Section", {"Text1"}), QString());
    }

    // A store edited by hand: its text comes back as written, never as a list, never blanked.
    void handWrittenValuesReadAsWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("comma") << QByteArray("SPRING GALA, 2026") << "SPRING GALA, 2026";
        QTest::newRow("commas tight") << QByteArray("a,b ,  c") << "a,b ,  c";
        QTest::newRow("semicolon") << QByteArray("Bingo; Raffle") << "Bingo; Raffle";
        QTest::newRow("inner quotes") << QByteArray("The \"Big\" Draw") << "The \"Big\" Draw";
        QTest::newRow("lone backslashes") << QByteArray("C:\\path\\x\\") << "C:\\path\\x\\";
        QTest::newRow("blanks trimmed") << QByteArray("  $500 \t") << "$500";
        QTest::newRow("quoted blanks") << QByteArray("\"  $500 \"") << "  $500 ";
        QTest::newRow("quoted comma") << QByteArray("\"a, \\\"b\\\"\"") << "a, \"b\"";
        QTest::newRow("escapes") << QByteArray("a\\\\b\\tc\\x41") << "a\\b\tcA";
        QTest::newRow("at") << QByteArray("@@home, @String(x)") << "@home, @String(x)";
        QTest::newRow("string") << QByteArray("@String(a, b)") << "a, b";
    }
    void handWrittenValuesReadAsWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        writeStore("[Section]\r\nText1=" + line + "\r\n; a comment\n[Other]\nText1=x\n");
        QCOMPARE(settings::GetSetting("App", "Section", "Text1", "default"), value);
    }

    void aValueThatIsNotTextIsRefusedByName()
    {
        writeStore("[Section]\nText2=@ByteArray(abc)\n");
        try {
            settings::GetSetting("App", "Section", "Text2", "default");
            QFAIL("read");
        } catch (const AppError& failure) {
            QVERIFY2(failure.description().contains("Text2"), qPrintable(failure.description()));
        }
    }

    void damagedStoreIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("readable"); // all the fresh store holds

        QTest::newRow("random bytes") << randomBytes(20210831) << QStringList();
        QTest::newRow("unclosed section")
            << QByteArray("[Section\nText1=abc\n") << QStringList{"Section/Text1=abc"};
        QTest::newRow("one value not UTF-8")
            << QByteArray("[Section]\nText1=Spring Fair\nText2=x\xff\xfey\nOther=1\n")
            << QStringList{"Section/Text1=Spring Fair"};
    }
    void damagedStoreIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, readable);

        writeStore(bytes);
        // Never written over, even before it is moved aside.
        QVERIFY_THROWS_EXCEPTION(AppError, settings::SaveSetting("App", "Section", "K", "v"));
        QCOMPARE(readAll(settings::location("App")), bytes);

        const QString kept = settings::SetAsideIfDamaged("App", "Section", {"Text1", "Text2"});
        QCOMPARE(QFileInfo(kept).path(), QFileInfo(settings::location("App")).path());
        QVERIFY2(QFileInfo(kept).fileName().startsWith("App.conf.damaged-20"), qPrintable(kept));
        QCOMPARE(readAll(kept), bytes);

        QSettings fresh(settings::location("App"), QSettings::IniFormat);
        QStringList held;
        for (const QString& key : fresh.allKeys()) {
            held << key + "=" + fresh.value(key).toString();
        }
        QCOMPARE(held, readable);
        settings::SaveSetting("App", "Section", "Text2", "typed");
        QCOMPARE(settings::GetSetting("App", "Section", "Text2", ""), QString("typed"));
        QCOMPARE(settings::SetAsideIfDamaged("App", "Section", {"Text1"}), QString());
    }

    void writeIsOnDiskAtOnce()
    {
        settings::SaveSetting("App", "Section", "Text2", "written");
        // A separate reader, as a second copy of the program would be.
        QSettings other(settings::location("App"), QSettings::IniFormat);
        QCOMPARE(other.value("Section/Text2").toString(), QString("written"));
    }

    void sectionsAndApplicationsAreSeparate()
    {
        settings::SaveSetting("App", "One", "Key", "1");
        settings::SaveSetting("Other", "One", "Key", "2");
        QCOMPARE(settings::GetSetting("App", "Two", "Key", "none"), QString("none"));
        QCOMPARE(settings::GetSetting("App", "One", "Key", "none"), QString("1"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
