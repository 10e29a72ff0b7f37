// The same scenarios against the scripted office that the failure tests use and against the real
// office layer, so that the stand-in cannot drift from what it stands in for.

#include "fake_word.h"
#include "replace_all.h"
#include "ticket_template.h"
#include "word_automation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

class TestWordContract : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void scenarios_data();
    void scenarios();

private:
    bool replace(const QString& text, const QString& by, word::WdFindWrap wrap,
                 const QString& style = QString());
    QStringList numbers() { return mApp->activeDocument()->range()->paragraphTexts("Ticket No."); }

    QTemporaryDir mDir;
    std::unique_ptr<FakeWord> mFake;
    std::unique_ptr<word::Application> mApp;
};

void TestWordContract::init()
{
    QFile file(mDir.filePath("template.dot"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ticketTemplateBytes());
}

void TestWordContract::cleanup()
{
    if (mApp) {
        mApp->quit();
        mApp.reset();
    }
    mFake.reset();
}

bool TestWordContract::replace(const QString& text, const QString& by, word::WdFindWrap wrap,
                               const QString& style)
{
    return replaceAll(*mApp, text, by, wrap, style);
}

void TestWordContract::scenarios_data()
{
    QTest::addColumn<bool>("real");
    QTest::newRow("scripted office") << false;
    QTest::newRow("real office") << true;
}

void TestWordContract::scenarios()
{
    QFETCH(bool, real);
    if (!real) {
        mFake = std::make_unique<FakeWord>();
    }
    mApp = word::Application::create();
    mApp->setDisplayAlerts(false);
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->documents().Open(mDir.filePath("none.doc")));
    auto document = mApp->documents().Open(mDir.filePath("template.dot"), true);
    const auto pair = [](int from, int to) {
        QStringList list;
        for (int n = from; n <= to; ++n) {
            list << QString("%1").arg(n, 4, 10, QChar('0'))
                 << QString("%1").arg(n, 4, 10, QChar('0'));
        }
        return list;
    };
    QCOMPARE(numbers(), pair(1, 5));

    // Filling: case-blind, everywhere; placed text is never searched again.
    QVERIFY(replace("[NAME OF RAFFLE EVENT]", "Raffle 0003 $250", word::WdFindWrap::Continue));
    QVERIFY(replace("$250", "$100", word::WdFindWrap::Continue));
    QVERIFY(!replace("raffle 0003", "x", word::WdFindWrap::Continue));
    QVERIFY(!replace("no such text", "x", word::WdFindWrap::Continue));
    // A search limited to the ticket numbers' style never reaches the wording.
    QVERIFY(!replace("$100", "x", word::WdFindWrap::Stop, "Ticket No."));

    // One more page, as a run makes it, renumbered from its start.
    word::Selection& selection = mApp->selection();
    selection.WholeStory();
    selection.Copy();
    selection.EndKey(word::WdUnits::Story);
    selection.Paste();
    selection.TypeBackspace();
    selection.EndKey(word::WdUnits::Story);
    selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
    selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Next, 1);
    for (int j = 1; j <= 5; ++j) {
        QVERIFY(replace(QString("%1").arg(j, 4, 10, QChar('0')),
                        QString("%1").arg(5 + j, 4, 10, QChar('0')), word::WdFindWrap::Stop,
                        "Ticket No."));
    }
    QCOMPARE(numbers(), pair(1, 10));
    // Nothing of the first page lies ahead of the second page's start.
    QVERIFY(!replace("0003", "x", word::WdFindWrap::Stop, "Ticket No."));

    const QString saved = mDir.filePath("contract.doc");
    document->SaveAs(saved);
    document->Close();
    auto reopened = mApp->documents().Open(saved);
    const QImage picture = reopened->range()->CopyAsPicture();
    QCOMPARE(picture.width(), 1200);
    QCOMPARE(picture.dotsPerMeterX(), 7559);
    reopened->Close(word::WdSaveOptions::DoNotSaveChanges);

    // A PDF, from a document opened without a window: written whole at its path, replacing what
    // was there, or not at all; progress only goes forward. Without a window, no selection.
    auto invisible = mApp->documents().Open(saved, true, false);
    if (real) {
        QVERIFY_THROWS_EXCEPTION(word::Error, mApp->selection().Copy());
    }
    QVERIFY_THROWS_EXCEPTION(word::Error,
                             invisible->ExportAsFixedFormat(mDir.filePath("none/contract.pdf"),
                                                            word::WdExportFormat::PDF, {}));
    const QString pdf = mDir.filePath("contract.pdf");
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QList<int> reported;
    word::FixedFormatOptions options;
    options.title = "Contract";
    options.progress = [&](int percent) { reported << percent; };
    invisible->ExportAsFixedFormat(pdf, word::WdExportFormat::PDF, options);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly) && written.read(5) == "%PDF-");
    // A short export may end before there is anything to report.
    QVERIFY(std::is_sorted(reported.begin(), reported.end()));
    QVERIFY(reported.isEmpty() || (reported.first() >= -1 && reported.last() <= 100));
    QCOMPARE(QDir(mDir.path()).entryList({"*pdf*"}, QDir::Files | QDir::Hidden),
             QStringList{"contract.pdf"});
    invisible->Close(word::WdSaveOptions::DoNotSaveChanges);
}

QTEST_MAIN(TestWordContract)
#include "test_word_contract.moc"
