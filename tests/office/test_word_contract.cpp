// The same scenarios against the scripted office that the failure tests use and against the real
// office layer, so that the stand-in cannot drift from what it stands in for. Each scenario and
// office is a row of its own, so one difference never hides the next.

#include "fake_word.h"
#include "office_probe.h"
#include "replace_pass.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "word_automation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/mount.h>
#include <vector>

namespace {

QString number(int n)
{
    return ticket_numbers::format(n);
}

// Every number from..to, twice each, as the ticket-number paragraphs read.
QStringList pairs(int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n) {
        list << number(n) << number(n);
    }
    return list;
}

} // namespace

class TestWordContract : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void scenarios_data();
    void scenarios();
    void openedOnAFullDisk();

public:
    // The scenarios; each starts with the ticket template open.
    void missingFile();
    void templateNumbers();
    void placedTextStays();
    void styleLimitsTheSearch();
    void refusedSettings();
    void refusedMoves();
    void anotherPage();
    void batchGoesOnPastAFailure();
    void savedAndReopened();
    void closedDocument();
    void noFields();
    void pdfWithoutWindow();
    void pdfInParts();

private:
    bool replace(const QString& text, const QString& by, word::WdFindWrap wrap,
                 const QString& style = QString())
    {
        return replaceAll(*mApp, text, by, wrap, style);
    }
    QStringList numbers() { return mApp->activeDocument()->range()->paragraphTexts("Ticket No."); }
    void addPage();

    // A folder of each row's own: an office ended with a document open leaves its lock file.
    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<FakeWord> mFake;
    std::unique_ptr<word::Application> mApp;
    std::shared_ptr<word::Document> mDocument;
    bool mReal = false;
};

void TestWordContract::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QFile file(mDir->filePath("template.dot"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ticketTemplateBytes());
}

void TestWordContract::cleanup()
{
    mDocument.reset();
    if (mApp) {
        mApp->quit();
        mApp.reset();
    }
    mFake.reset();
    qunsetenv("TICKETWRIGHT_PAGE_LOOP");
    qunsetenv("TICKETWRIGHT_PDF_PARTS");
}

namespace {

using Scenario = void (TestWordContract::*)();
const std::vector<std::pair<const char*, Scenario>> kScenarios = {
    {"a missing file", &TestWordContract::missingFile},
    {"template numbers", &TestWordContract::templateNumbers},
    {"placed text stays", &TestWordContract::placedTextStays},
    {"a style limits the search", &TestWordContract::styleLimitsTheSearch},
    {"refused settings", &TestWordContract::refusedSettings},
    {"refused moves", &TestWordContract::refusedMoves},
    {"another page", &TestWordContract::anotherPage},
    {"a batch goes on past a failure", &TestWordContract::batchGoesOnPastAFailure},
    {"saved and reopened", &TestWordContract::savedAndReopened},
    {"a closed document", &TestWordContract::closedDocument},
    {"no fields", &TestWordContract::noFields},
    {"a PDF without a window", &TestWordContract::pdfWithoutWindow},
    {"a PDF in parts", &TestWordContract::pdfInParts},
};

} // namespace

void TestWordContract::scenarios_data()
{
    // The real office both ways: editing inside it, and from the program over its pipe.
    QTest::addColumn<QByteArray>("way");
    QTest::addColumn<int>("scenario");
    for (int i = 0; i < static_cast<int>(kScenarios.size()); ++i) {
        QTest::addRow("%s, scripted office", kScenarios[i].first) << QByteArray() << i;
        QTest::addRow("%s, real office", kScenarios[i].first) << QByteArray("office") << i;
        QTest::addRow("%s, real office over its pipe", kScenarios[i].first)
            << QByteArray("pipe") << i;
    }
}

void TestWordContract::scenarios()
{
    QFETCH(QByteArray, way);
    QFETCH(int, scenario);
    mReal = !way.isEmpty();
    if (mReal) {
        qputenv("TICKETWRIGHT_PAGE_LOOP", way);
    } else {
        mFake = std::make_unique<FakeWord>();
    }
    // An office's failure fails the row with what it said.
    try {
        mApp = word::Application::create();
        mApp->setDisplayAlerts(false);
        mDocument = mApp->documents().Open(mDir->filePath("template.dot"), true);
        (this->*kScenarios[static_cast<size_t>(scenario)].second)();
    } catch (const word::Error& e) {
        QFAIL(e.what());
    }
}

// A document on a full disk, as the preview's page is when the run's save has filled the
// temporary folder: it opens and draws, and the office leaves nothing beside it. (The office's lock
// file, which finds no room, made the opening fail.)
void TestWordContract::openedOnAFullDisk()
{
    mApp = word::Application::create();
    mDocument = mApp->documents().Open(mDir->filePath("template.dot"), true);
    const QString saved = mDir->filePath("page.doc");
    mDocument->SaveAs(saved);
    mDocument->Close();
    QTemporaryDir full;
    if (::mount("tmpfs", QFile::encodeName(full.path()).constData(), "tmpfs", 0,
                "size=64k,mode=0700") != 0) {
        QSKIP("no small file system can be mounted here");
    }
    const auto unmount =
        qScopeGuard([&] { ::umount2(QFile::encodeName(full.path()).constData(), MNT_DETACH); });
    QVERIFY(QFile::copy(saved, full.filePath("page.doc")));
    QFile filler(full.filePath("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(512, 'x')) == 512) {
    }
    filler.close();

    try {
        mDocument = mApp->documents().Open(full.filePath("page.doc"));
        QVERIFY(!mDocument->range()->CopyAsPicture().isNull());
        mDocument->Close();
    } catch (const word::Error& e) {
        QFAIL(e.what());
    }
    mDocument.reset();
    mApp->quit();
    mApp.reset();
    QCOMPARE(QDir(full.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name),
             QStringList({QStringLiteral("filler"), QStringLiteral("page.doc")}));
}

// The report names the file; a folder is no document.
void TestWordContract::missingFile()
{
    const QString missing = mDir->filePath("gone away.doc");
    try {
        mApp->documents().Open(missing);
        QFAIL("opening a missing file succeeded");
    } catch (const word::Error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(missing), e.what());
    }
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->documents().Open(mDir->path()));
}

void TestWordContract::templateNumbers()
{
    QCOMPARE(numbers(), pairs(1, 5));
    QCOMPARE(mDocument->range()->paragraphCount("Ticket No."), 10);
}

// Filling is case-blind and everywhere; what it placed is never searched again.
void TestWordContract::placedTextStays()
{
    QVERIFY(replace("[NAME OF RAFFLE EVENT]", "Raffle 0003 $250", word::WdFindWrap::Continue));
    QVERIFY(replace("$250", "$100", word::WdFindWrap::Continue));
    QVERIFY(!replace("raffle 0003", "x", word::WdFindWrap::Continue));
    QVERIFY(replace("$100", "$50", word::WdFindWrap::Continue));  // the template's own $100 only
    QVERIFY(!replace("0003 $", "x", word::WdFindWrap::Continue)); // would reach into placed text
    QVERIFY(!replace("no such text", "x", word::WdFindWrap::Continue));
    QCOMPARE(numbers(), pairs(1, 5));
    // The text reads as paragraphs, each ended by a mark, the numbers first.
    const QString whole = mDocument->range()->Text();
    QVERIFY(whole.startsWith("0001\r") && whole.endsWith('\r') && !whole.contains('\n'));
    QVERIFY(whole.contains("Raffle 0003 $250"));
    QCOMPARE(whole.count("$100"), 5); // the placed ones
}

// A search limited to the ticket numbers' style never reaches the wording.
void TestWordContract::styleLimitsTheSearch()
{
    QVERIFY(!replace("$100", "x", word::WdFindWrap::Stop, "Ticket No."));
    QVERIFY(replace("$100", "$90", word::WdFindWrap::Stop));
    QVERIFY(replace("0002", "0042", word::WdFindWrap::Stop, "Ticket No."));
    QCOMPARE(numbers(), pairs(1, 1) + pairs(42, 42) + pairs(3, 5));
}

// Only forward, case-blind searches for plain text are offered.
void TestWordContract::refusedSettings()
{
    const auto refused = [this](const std::function<void(word::Find&)>& setting) {
        word::Find& find = mApp->selection().find();
        find.ClearFormatting();
        find.setText("0001");
        find.replacement().setText("0009");
        find.setForward(true);
        find.setMatchCase(false);
        find.setMatchWholeWord(false);
        find.setMatchWildcards(false);
        find.setMatchSoundsLike(false);
        find.setMatchAllWordForms(false);
        setting(find);
        bool threw = false;
        try {
            find.Execute(word::WdReplace::All);
        } catch (const word::Error&) {
            threw = true;
        }
        return threw;
    };
    QVERIFY(refused([](word::Find& f) { f.setMatchCase(true); }));
    QVERIFY(refused([](word::Find& f) { f.setMatchWholeWord(true); }));
    QVERIFY(refused([](word::Find& f) { f.setMatchWildcards(true); }));
    QVERIFY(refused([](word::Find& f) { f.setMatchSoundsLike(true); }));
    QVERIFY(refused([](word::Find& f) { f.setMatchAllWordForms(true); }));
    QVERIFY(refused([](word::Find& f) { f.setForward(false); }));
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->selection().find().Execute(word::WdReplace::One));
    QCOMPARE(numbers(), pairs(1, 5));
}

// Only the end of the story, and the next or previous page, are places to move to; a refused move
// leaves the insertion point where it was, here after the copy.
void TestWordContract::refusedMoves()
{
    word::Selection& selection = mApp->selection();
    selection.WholeStory();
    selection.Copy();
    selection.EndKey(word::WdUnits::Story);
    const auto line = static_cast<word::WdUnits>(5);
    const auto bookmark = static_cast<word::WdGoToItem>(-1);
    const auto first = static_cast<word::WdGoToDirection>(1);
    QVERIFY_THROWS_EXCEPTION(word::Error, selection.EndKey(line));
    QVERIFY_THROWS_EXCEPTION(word::Error, selection.GoTo(bookmark, word::WdGoToDirection::Next, 1));
    QVERIFY_THROWS_EXCEPTION(word::Error, selection.GoTo(word::WdGoToItem::Page, first, 1));
    selection.Paste();
    QCOMPARE(numbers(), pairs(1, 5) + pairs(1, 5));
}

// One more page, as a run makes it.
void TestWordContract::addPage()
{
    word::Selection& selection = mApp->selection();
    selection.WholeStory();
    selection.Copy();
    pastePageAtEnd(selection);
}

// Renumbered from the new page's start, nothing of the first page is reached.
void TestWordContract::anotherPage()
{
    addPage();
    QCOMPARE(numbers(), pairs(1, 5) + pairs(1, 5));
    for (int j = 1; j <= 5; ++j) {
        QVERIFY(replace(number(j), number(5 + j), word::WdFindWrap::Stop, "Ticket No."));
    }
    QCOMPARE(numbers(), pairs(1, 10));
    QVERIFY(!replace("0003", "x", word::WdFindWrap::Stop, "Ticket No."));
}

// A page's steps gathered and run in one go, as the run adds each page.
void TestWordContract::batchGoesOnPastAFailure()
{
    word::Selection& selection = mApp->selection();
    selection.WholeStory();
    selection.Copy();
    selection.BeginBatch();
    pastePageAtEnd(selection);
    QVERIFY(!replace(number(1), number(6), word::WdFindWrap::Stop, "Ticket No."));
    // Refused when its turn comes, with the settings it was asked with.
    selection.find().setMatchCase(true);
    selection.find().Execute(word::WdReplace::All);
    for (int j = 2; j <= 5; ++j) {
        replace(number(j), number(5 + j), word::WdFindWrap::Stop, "Ticket No.");
    }
    QCOMPARE(numbers(), pairs(1, 5)); // nothing has run yet
    // The caller's own work runs once, here, while the office works.
    QList<QThread*> meanwhile;
    const std::vector<word::BatchFailure> failures =
        selection.EndBatch([&] { meanwhile << QThread::currentThread(); });
    QCOMPARE(meanwhile, QList<QThread*>{QThread::currentThread()});
    QCOMPARE(failures.size(), 1U);
    QCOMPARE(failures.front().index, 7);
    QVERIFY(failures.front().description.contains("case-blind"));
    QCOMPARE(numbers(), pairs(1, 10));
    QVERIFY(selection.EndBatch([&] { meanwhile << nullptr; }).empty()); // gathering ended
    QCOMPARE(meanwhile.size(), 2);
}

void TestWordContract::savedAndReopened()
{
    QVERIFY(replace("[NAME OF RAFFLE EVENT]", "Spring Fair", word::WdFindWrap::Continue));
    addPage();
    const QString saved = mDir->filePath("contract.doc");
    mDocument->SaveAs(saved);
    mDocument->Close();
    mDocument = mApp->documents().Open(saved);
    QCOMPARE(numbers(), pairs(1, 5) + pairs(1, 5));
    QVERIFY(mDocument->range()->Text().contains("Spring Fair"));
    QVERIFY(!mDocument->range()->Text().contains("[Name of Raffle Event]"));
    if (mReal) {
        // The scripted office draws no picture worth comparing.
        const QImage picture = mDocument->range()->CopyAsPicture();
        QCOMPARE(picture.width(), 1200);
        QCOMPARE(qRound(picture.dotsPerMeterX() * 0.0254), 192);
    }
}

void TestWordContract::closedDocument()
{
    mDocument->Close();
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->activeDocument());
    QVERIFY_THROWS_EXCEPTION(word::Error, mDocument->SaveAs(mDir->filePath("closed.doc")));
    QVERIFY_THROWS_EXCEPTION(word::Error, mDocument->FitTextToLines());
    QVERIFY_THROWS_EXCEPTION(word::Error, mDocument->HasFields());
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->selection().WholeStory());
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->selection().Paste());
    QVERIFY(!QFile::exists(mDir->filePath("closed.doc")));
}

void TestWordContract::noFields()
{
    QVERIFY(!mDocument->HasFields());
}

void TestWordContract::pdfWithoutWindow()
{
    const QString saved = mDir->filePath("contract.doc");
    mDocument->SaveAs(saved);
    mDocument->Close();
    // A PDF, from a document opened without a window: written whole at its path, replacing what
    // was there, or not at all; progress only goes forward. Without a window, no selection.
    auto invisible = mApp->documents().Open(saved, true, false);
    QVERIFY_THROWS_EXCEPTION(word::Error, mApp->selection().Copy());
    QVERIFY_THROWS_EXCEPTION(word::Error, invisible->range()->paragraphTexts("Ticket No."));
    QVERIFY_THROWS_EXCEPTION(word::Error,
                             invisible->ExportAsFixedFormat(mDir->filePath("none/contract.pdf"),
                                                            word::WdExportFormat::PDF, {}));
    const QString pdf = mDir->filePath("contract.pdf");
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
    QCOMPARE(QDir(mDir->path()).entryList({"*pdf*"}, QDir::Files | QDir::Hidden),
             QStringList{"contract.pdf"});
    invisible->Close(word::WdSaveOptions::DoNotSaveChanges);
}

namespace {

// Every page of a PDF as pdftoppm draws it, small and grey.
QList<QImage> pagesOf(const QString& pdf)
{
    QTemporaryDir folder;
    QProcess draw;
    draw.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-gray"),
                QStringLiteral("-png"), pdf, folder.filePath(QStringLiteral("page"))});
    if (!draw.waitForFinished(120000) || draw.exitCode() != 0) {
        return {};
    }
    QList<QImage> pages;
    for (const QString& name : QDir(folder.path()).entryList({"*.png"}, QDir::Files, QDir::Name)) {
        pages << QImage(folder.filePath(name));
    }
    return pages;
}

} // namespace

// A long document's PDF made by two offices at once is the one office's, page for page; when the
// second office dies on the way, the first makes the whole of it.
void TestWordContract::pdfInParts()
{
    if (!mReal || qgetenv("TICKETWRIGHT_PAGE_LOOP") == "pipe") {
        QSKIP("only an office that edits inside itself divides its export");
    }
    addPage();
    addPage();
    const QString saved = mDir->filePath("parts.doc");
    mDocument->SaveAs(saved);
    mDocument->Close();
    bool secondOfficeLeft = false;
    // With an office waiting, the second office reads the file beside the first.
    const auto exportWith = [&](const char* parts, bool waiting, bool endSecondOffice) {
        qputenv("TICKETWRIGHT_PDF_PARTS", parts);
        if (waiting) {
            word::startInstancesEarly(1);
        }
        auto invisible = mApp->documents().Open(saved, true, false);
        const QString pdf = mDir->filePath(
            QStringLiteral("%1-%2-%3.pdf").arg(parts).arg(waiting).arg(endSecondOffice));
        word::FixedFormatOptions options;
        options.progress = [&](int) {
            const QList<qint64> offices =
                probe::officeChildrenOf(QCoreApplication::applicationPid());
            // The newest office is the second; it is ended only while it is seen alive.
            const pid_t second =
                offices.size() > 1
                    ? static_cast<pid_t>(*std::max_element(offices.begin(), offices.end()))
                    : 0;
            if (endSecondOffice && second > 0 && ::kill(second, 0) == 0) {
                ::kill(second, SIGKILL);
                endSecondOffice = false;
            }
        };
        invisible->ExportAsFixedFormat(pdf, word::WdExportFormat::PDF, options);
        secondOfficeLeft = secondOfficeLeft || endSecondOffice;
        invisible->Close(word::WdSaveOptions::DoNotSaveChanges);
        return pdf;
    };
    const QList<QImage> whole = pagesOf(exportWith("off", false, false));
    QCOMPARE(whole.size(), 4);
    QVERIFY(pagesOf(exportWith("on", false, false)) == whole);
    QVERIFY(pagesOf(exportWith("on", true, false)) == whole);
    QVERIFY(pagesOf(exportWith("on", true, true)) == whole);
    QVERIFY2(!secondOfficeLeft, "no second office was there to end");
    QCOMPARE(QDir(mDir->path()).entryList({"*.pdf"}, QDir::Files | QDir::Hidden).size(), 4);
}

QTEST_MAIN(TestWordContract)
#include "test_word_contract.moc"
