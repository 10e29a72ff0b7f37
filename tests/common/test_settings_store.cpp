#include "settings_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir mHome;

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mHome.path());
        QFile::remove(SettingsStore::location("App"));
    }

    void missingKeyGivesDefault()
    {
        QCOMPARE(SettingsStore::GetSetting("App", "Section", "Text3", "$500"), QString("$500"));
    }

    void emptyValueIsNotTheDefault()
    {
        SettingsStore::SaveSetting("App", "Section", "Text7", "");
        QCOMPARE(SettingsStore::GetSetting("App", "Section", "Text7", "$10"), QString());
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
        SettingsStore::SaveSetting("App", "Section", "Text1", value);
        QCOMPARE(SettingsStore::GetSetting("App", "Section", "Text1", "default"), value);
    }

    void writeIsOnDiskAtOnce()
    {
        SettingsStore::SaveSetting("App", "Section", "Text2", "written");
        // A separate reader, as a second copy of the program would be.
        QSettings other(SettingsStore::location("App"), QSettings::IniFormat);
        QCOMPARE(other.value("Section/Text2").toString(), QString("written"));
    }

    void sectionsAndApplicationsAreSeparate()
    {
        SettingsStore::SaveSetting("App", "One", "Key", "1");
        SettingsStore::SaveSetting("Other", "One", "Key", "2");
        QCOMPARE(SettingsStore::GetSetting("App", "Two", "Key", "none"), QString("none"));
        QCOMPARE(SettingsStore::GetSetting("App", "One", "Key", "none"), QString("1"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
