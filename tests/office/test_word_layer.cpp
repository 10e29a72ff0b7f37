#include "file_helpers.h"
#include "office_probe.h"
#include "program_launcher.h"
#include "replace_pass.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "word_automation.h"
#include "word_file_statistics.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The Word layer against the real office, one instance shared by all cases.
class TestWordLayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void replaceAllIgnoresCaseAndTakesTheReplacementLiterally();
    void replaceFromInsertionPointLeavesEarlierPagesAlone();
    void pagesReplicateAndRenumberAsTheRunDoes();
    void aLongDocumentGoesOnAfterItsSave();
    void aDocumentToldItsLengthIsSavedTheSame();
    void saveAsAlwaysWritesWord97();
    void savedStatisticsAreTheOfficesOwn();
    void fieldsAreFoundInHeadersToo();
    void saveAsRefusesALinkAtTheTarget();
    void copyAsPictureLeavesTheClipboardAlone();
    void theOfficeEditsInItsOwnProcess();

private:
    QString templatePath() const { return dir_.filePath(QStringLiteral("template.dot")); }
    std::shared_ptr<word::Document> openTemplate();
    bool replaceAll(const QString& text, const QString& replacement, word::WdFindWrap wrap,
                    const QString& style = QString());
    // Pastes the copied page at the end and renumbers it, as a run does.
    void addPage(int page);
    // Builds a document of the given number of pages the way a run does, open; told its length
    // beforehand when hinted.
    std::shared_ptr<word::Document> buildPages(int pages, bool hinted = false);
    // The same, saved and closed.
    QString buildTickets(int pages, const QString& name, bool hinted = false);

    QTemporaryDir dir_;
    std::unique_ptr<word::Application> app_;
};

std::shared_ptr<word::Document> TestWordLayer::openTemplate()
{
    return app_->documents().Open(templatePath(), true);
}

bool TestWordLayer::replaceAll(const QString& text, const QString& replacement,
                               word::WdFindWrap wrap, const QString& style)
{
    return ::replaceAll(*app_, text, replacement, wrap, style);
}

void TestWordLayer::addPage(int page)
{
    pastePageAtEnd(app_->selection());
    for (int j = 1; j <= 5; ++j) {
        replaceAll(ticket_numbers::format(j), ticket_numbers::format((page - 1) * 5 + j),
                   word::WdFindWrap::Stop);
    }
}

std::shared_ptr<word::Document> TestWordLayer::buildPages(int pages, bool hinted)
{
    auto document = openTemplate();
    app_->selection().WholeStory();
    app_->selection().Copy();
    if (hinted) {
        document->ExpectPages(pages);
    }
    for (int i = 2; i <= pages; ++i) {
        addPage(i);
    }
    return document;
}

QString TestWordLayer::buildTickets(int pages, const QString& name, bool hinted)
{
    auto document = buildPages(pages, hinted);
    const QString path = dir_.filePath(name);
    document->SaveAs(path);
    document->Close();
    return path;
}

void TestWordLayer::initTestCase()
{
    QVERIFY(dir_.isValid());
    QFile file(templatePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ticketTemplateBytes());
    file.close();
    app_ = word::Application::create();
    app_->setDisplayAlerts(false);
}

void TestWordLayer::cleanupTestCase()
{
    if (app_) {
        app_->quit();
    }
}

void TestWordLayer::replaceAllIgnoresCaseAndTakesTheReplacementLiterally()
{
    auto document = openTemplate();
    // Capitals find the template's mixed case; every copy is replaced, stubs included.
    QVERIFY(replaceAll(QStringLiteral("[NAME OF RAFFLE EVENT]"), QStringLiteral("Gala & $1 ^p \\n"),
                       word::WdFindWrap::Continue));
    // Continue also covers what lies before the insertion point.
    app_->selection().EndKey(word::WdUnits::Story);
    QVERIFY(replaceAll(QStringLiteral("drawing will be held at the end of the night"),
                       QStringLiteral("Draw at 9"), word::WdFindWrap::Continue));
    QVERIFY(!replaceAll(QStringLiteral("no such text"), QStringLiteral("x"),
                        word::WdFindWrap::Continue));
    // Stop, from the end: nothing lies ahead.
    QVERIFY(!replaceAll(QStringLiteral("$500"), QStringLiteral("x"), word::WdFindWrap::Stop));
    QVERIFY(replaceAll(QStringLiteral(" / DONATION - $10"), QString(), word::WdFindWrap::Continue));

    const QString path = dir_.filePath(QStringLiteral("replaced.doc"));
    document->SaveAs(path);
    document->Close();
    const QString text = probe::docText(QStringLiteral("catdoc"), path);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Gala & $1 ^p \\n")), 10);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Raffle Event")), 0);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Draw at 9")), 5);
    QCOMPARE(probe::occurrences(text, QStringLiteral("$500")), 5);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Donation")), 0);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Do not Have to Be Present to Win")), 10);
}

void TestWordLayer::replaceFromInsertionPointLeavesEarlierPagesAlone()
{
    auto document = openTemplate();
    word::Selection& selection = app_->selection();
    selection.WholeStory();
    selection.Copy();
    pastePageAtEnd(selection);
    pastePageAtEnd(selection);
    // From the start of the last page: its first ticket number is the first match.
    QVERIFY(replaceAll(QStringLiteral("name:"), QStringLiteral("Holder:"), word::WdFindWrap::Stop));
    QVERIFY(replaceAll(QStringLiteral("0001"), QStringLiteral("LAST"), word::WdFindWrap::Stop));
    selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
    QVERIFY(replaceAll(QStringLiteral("0002"), QStringLiteral("MIDDLE"), word::WdFindWrap::Stop));

    const QString path = dir_.filePath(QStringLiteral("partial.doc"));
    document->SaveAs(path);
    document->Close();
    const QString text = probe::docText(QStringLiteral("antiword"), path);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Holder:")), 5);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Name:")), 10);
    QCOMPARE(probe::occurrences(text, QStringLiteral("LAST")), 2);
    QCOMPARE(probe::occurrences(text, QStringLiteral("0001")), 4);
    // The middle page and the last page changed, the first did not.
    QCOMPARE(probe::occurrences(text, QStringLiteral("MIDDLE")), 4);
    QCOMPARE(probe::occurrences(text, QStringLiteral("0002")), 2);
    QVERIFY(text.indexOf(QStringLiteral("0002")) < text.indexOf(QStringLiteral("MIDDLE")));
    QVERIFY(text.lastIndexOf(QStringLiteral("Name:")) < text.indexOf(QStringLiteral("LAST")));
}

// Enough pages for the layout to go in stages, under a plain page style that is put back.
void TestWordLayer::pagesReplicateAndRenumberAsTheRunDoes()
{
    constexpr int kPages = 80;
    const QString path = buildTickets(kPages, QStringLiteral("tickets.doc"));
    const QString text = probe::docText(QStringLiteral("catdoc"), path);
    QList<int> expected;
    for (int n = 1; n <= 5 * kPages; ++n) {
        expected << n << n;
    }
    QCOMPARE(probe::ticketNumbers(text), expected);
    QCOMPARE(probe::occurrences(text, QStringLiteral("Drawing Will Be Held")), 5 * kPages);

    // Every page, the last as the first, carries the page style's art.
    QTemporaryDir pdfDir;
    probe::officeAlone(pdfDir.filePath(QStringLiteral("p")),
                       {QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                        QStringLiteral("--outdir"), pdfDir.path(), path},
                       120000);
    const QString pdf = pdfDir.filePath(QStringLiteral("tickets.pdf"));
    const auto fillOf = [&](int page) {
        const QString png = pdfDir.filePath(QStringLiteral("page%1").arg(page));
        launch::outputOf(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                          QString::number(page), QStringLiteral("-r"), QStringLiteral("20"),
                          QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, png},
                         60000);
        const QImage image(png + QStringLiteral(".png"));
        int fill = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                fill += image.pixel(x, y) == qRgb(0xfd, 0xf1, 0xd3) ? 1 : 0;
            }
        }
        return fill;
    };
    QCOMPARE(probe::pageCount(path), kPages);
    const int first = fillOf(1);
    QVERIFY(first > 1000);
    QVERIFY(std::abs(fillOf(kPages) - first) < first / 100); // the edges may round apart
}

// A long document is stored without its window; it gets one back for what needs it.
void TestWordLayer::aLongDocumentGoesOnAfterItsSave()
{
    constexpr int kPages = 30;
    auto document = buildPages(kPages);
    const int numbers = document->range()->paragraphCount(QStringLiteral("Ticket No."));
    document->SaveAs(dir_.filePath(QStringLiteral("first.doc")));
    QCOMPARE(document->range()->paragraphCount(QStringLiteral("Ticket No.")), numbers);
    addPage(kPages + 1);
    const QString path = dir_.filePath(QStringLiteral("second.doc"));
    document->SaveAs(path);
    document->Close();
    QList<int> expected;
    for (int n = 1; n <= 5 * (kPages + 1); ++n) {
        expected << n << n;
    }
    QCOMPARE(probe::ticketNumbers(probe::docText(QStringLiteral("catdoc"), path)), expected);
}

// Told how long it grows, the office lays none of the pages out while they are added (without
// the hint, these are laid out in stages); what is saved is the same.
void TestWordLayer::aDocumentToldItsLengthIsSavedTheSame()
{
    constexpr int kPages = 75;
    const QString staged = buildTickets(kPages, QStringLiteral("staged.doc"));
    const QString hinted = buildTickets(kPages, QStringLiteral("hinted.doc"), true);
    QCOMPARE(QFileInfo(hinted).size(), QFileInfo(staged).size());
    QCOMPARE(word::WordFileStatistics::read(hinted), word::WordFileStatistics::read(staged));
    QCOMPARE(probe::docText(QStringLiteral("antiword"), hinted),
             probe::docText(QStringLiteral("antiword"), staged));
}

void TestWordLayer::saveAsAlwaysWritesWord97()
{
    auto document = openTemplate();
    QVERIFY(!document->HasFields());
    replaceAll(QStringLiteral("$250"), QStringLiteral("Two hundred and fifty"),
               word::WdFindWrap::Continue);
    const QString path = dir_.filePath(QStringLiteral("named like a new format.docx"));
    document->SaveAs(path);
    document->Close();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(8), QByteArray::fromHex("d0cf11e0a1b11ae1")); // a compound document
    for (const QString& reader : {QStringLiteral("antiword"), QStringLiteral("catdoc")}) {
        QCOMPARE(probe::occurrences(probe::docText(reader, path),
                                    QStringLiteral("Two hundred and fifty")),
                 5);
    }
    // The office reads it back with the same text.
    auto reopened = app_->documents().Open(path);
    QCOMPARE(app_->activeDocument(), reopened);
    QVERIFY(replaceAll(QStringLiteral("two hundred and fifty"), QStringLiteral("x"),
                       word::WdFindWrap::Continue));
    QVERIFY(!replaceAll(QStringLiteral("$250"), QStringLiteral("x"), word::WdFindWrap::Continue));
    reopened->Close(word::WdSaveOptions::DoNotSaveChanges);
    // Closing without saving left the file as it was.
    QCOMPARE(probe::occurrences(probe::docText(QStringLiteral("catdoc"), path),
                                QStringLiteral("Two hundred and fifty")),
             5);
    // Read-only: the template file itself is never written.
    const QByteArray before = ticketTemplateBytes();
    QFile templ(templatePath());
    QVERIFY(templ.open(QIODevice::ReadOnly));
    QCOMPARE(templ.readAll(), before);
}

// Repeated pages are saved with the statistics the editor followed, and the office's own count
// gives the same.
void TestWordLayer::savedStatisticsAreTheOfficesOwn()
{
    auto document = buildPages(8);
    const QString followed = dir_.filePath(QStringLiteral("followed.doc"));
    document->SaveAs(followed);
    qputenv("TICKETWRIGHT_SAVE_COUNTS", "office");
    const QString counted = dir_.filePath(QStringLiteral("counted.doc"));
    document->SaveAs(counted);
    qunsetenv("TICKETWRIGHT_SAVE_COUNTS");
    document->Close();
    const QByteArray statistics = word::WordFileStatistics::read(counted);
    QVERIFY(statistics.size() > 4 && qFromLittleEndian<quint32>(statistics.constData()) > 0);
    QCOMPARE(word::WordFileStatistics::read(followed), statistics);
    // Saved without the office's count, nothing else is left out (the art, say).
    QCOMPARE(QFileInfo(followed).size(), QFileInfo(counted).size());

    // A file that is not a Word document is left as it was.
    const QString text = dir_.filePath(QStringLiteral("not a document.doc"));
    WriteFileIfMissing(QByteArray(4096, 'x'), text);
    QVERIFY(!word::WordFileStatistics::write(text, {1, 2, 3}).isEmpty());
    QFile file(text);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(4096, 'x'));
}

void TestWordLayer::fieldsAreFoundInHeadersToo()
{
    const QString path = dir_.filePath(QStringLiteral("fields.fodt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.3"
 office:mimetype="application/vnd.oasis.opendocument.text">
 <office:automatic-styles><style:page-layout style:name="L"/></office:automatic-styles>
 <office:master-styles><style:master-page style:name="Standard" style:page-layout-name="L">
  <style:header><text:p>Page <text:page-number/> of <text:page-count/></text:p></style:header>
 </style:master-page></office:master-styles>
 <office:body><office:text><text:p>Tickets</text:p></office:text></office:body>
</office:document>
)");
    file.close();
    auto document = app_->documents().Open(path, true);
    QVERIFY(document->HasFields());
    document->Close();
}

void TestWordLayer::saveAsRefusesALinkAtTheTarget()
{
    const QString victim = dir_.filePath(QStringLiteral("victim.txt"));
    QFile v(victim);
    QVERIFY(v.open(QIODevice::WriteOnly));
    v.write("untouched");
    v.close();
    const QString link = dir_.filePath(QStringLiteral("link.doc"));
    QVERIFY(QFile::link(victim, link));
    auto document = openTemplate();
    QVERIFY_THROWS_EXCEPTION(word::Error, document->SaveAs(link));
    QVERIFY_THROWS_EXCEPTION(word::Error,
                             document->SaveAs(dir_.filePath(QStringLiteral("no/such/folder.doc"))));
    document->Close();
    QVERIFY(v.open(QIODevice::ReadOnly));
    QCOMPARE(v.readAll(), QByteArray("untouched"));
    // No scratch file is left behind by the failed saves.
    QCOMPARE(
        QDir(dir_.path()).entryList({QStringLiteral(".~*")}, QDir::Files | QDir::Hidden).size(), 0);
}

void TestWordLayer::copyAsPictureLeavesTheClipboardAlone()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("the person's own text"));
    const QString path = buildTickets(3, QStringLiteral("picture.doc"));
    auto document = app_->documents().Open(path);
    const QImage picture = document->range()->CopyAsPicture();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("the person's own text"));
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.width(), 1200);
    QVERIFY(qAbs(picture.height() - 1200 * 11 / 8.5) < 4); // one Letter page
    QCOMPARE(picture.dotsPerMeterX(), 7559);
    QCOMPARE(picture.dotsPerMeterY(), 7559);
    app_->activeDocument()->Close(word::WdSaveOptions::DoNotSaveChanges);
}

// The editing runs inside the office that holds the document, unless the pipe is asked for.
void TestWordLayer::theOfficeEditsInItsOwnProcess()
{
    const auto editingOffices = [] {
        int count = 0;
        for (const qint64 pid : probe::officeChildrenOf(QCoreApplication::applicationPid())) {
            QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
            count += maps.open(QIODevice::ReadOnly) &&
                     maps.readAll().contains("/libticketwright_editor.so");
        }
        return count;
    };
    auto document = openTemplate();
    app_->selection().WholeStory();
    QCOMPARE(editingOffices(), 1);

    qputenv("TICKETWRIGHT_PAGE_LOOP", "pipe");
    auto overPipe = word::Application::create();
    qunsetenv("TICKETWRIGHT_PAGE_LOOP");
    overPipe->documents().Open(templatePath(), true);
    overPipe->selection().WholeStory();
    QCOMPARE(probe::officeChildrenOf(QCoreApplication::applicationPid()).size(), 2);
    QCOMPARE(editingOffices(), 1);
    overPipe->quit();
    document->Close();
}

QTEST_MAIN(TestWordLayer)
#include "test_word_layer.moc"
