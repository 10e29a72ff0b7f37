// The document model's decisions, without an office: which searches must look at placed text,
// when a style-limited search needs no look at each match's paragraph, and what each edit
// makes unknown.

#include "document_model.h"
#include "page_statistics.h"

#include <QTest>

namespace {

// A ticket page as the template has it: number paragraphs around the wording.
CopiedPage ticketPage(const QString& lastParagraph = QString())
{
    auto paragraphs = std::make_shared<std::vector<CopiedParagraph>>(
        std::vector<CopiedParagraph>{{"Ticket No.", "0001"},
                                     {"Title", "Spring Fair"},
                                     {"Terms", "Donation - $10"},
                                     {"Ticket No.", "0001"},
                                     {"Body", lastParagraph}});
    return CopiedPage::of(paragraphs, static_cast<int>(paragraphs->size()), true);
}

// The model after a page was pasted at the end and the insertion point put at its start.
DocumentModel onFreshLastPage(const CopiedPage& page = ticketPage())
{
    DocumentModel model;
    model.movedToEnd();
    model.pasted(true, page);
    model.typedBackspace(true);
    model.movedToEnd();
    model.movedToPage(1, true);
    return model;
}

const auto kNumberStyle = [] { return QStringLiteral("Ticket No."); };

// Pages pasted and renumbered as a run does, each page's number given as text: the statistics
// the editor follows, and the office's own count of the finished document. A page holds 10 words
// and 5 paragraphs, and 50 characters besides its number, which it shows twice. twist names
// one thing done differently on the given page.
std::pair<std::optional<DocumentCounts>, DocumentCounts>
followPages(const QStringList& numbers, const QString& twist = {}, int twistPage = 0)
{
    PageStatistics statistics;
    DocumentCounts office;
    const auto finishPage = [&](const QString& number) {
        office.words += 10;
        office.paragraphs += 5;
        office.characters += 50 + 2 * number.size();
    };
    finishPage(numbers.front());
    for (int page = 2; page <= numbers.size(); ++page) {
        const DocumentCounts before = office;
        statistics.pageBegins(
            [&]() -> std::optional<DocumentCounts> {
                if (twist == "no count") {
                    return std::nullopt;
                }
                return before;
            },
            false);
        statistics.backspace();
        const bool twisted = page == twistPage;
        const QString number =
            twisted && twist == "wording" ? QStringLiteral("Spring Fair") : numbers[page - 1];
        statistics.replaced("\uE001\uE001", number, twisted && twist == "one match" ? 1 : 2);
        if (twisted && twist == "changed") {
            statistics.changed();
        }
        finishPage(number);
    }
    return {statistics.counts(), office};
}

} // namespace

class TestDocumentModel : public QObject
{
    Q_OBJECT

private slots:
    void placedTextMayBeTouched_data()
    {
        QTest::addColumn<QString>("placed");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("mayTouch");
        QTest::newRow("nothing shared") << "Spring Fair"
                                        << "0003" << false;
        QTest::newRow("search inside it") << "Raffle 0003 $250"
                                          << "0003" << true;
        QTest::newRow("it inside the search") << "$5"
                                              << "DONATION - $5" << true;
        QTest::newRow("case-blind") << "RAFFLE 0003"
                                    << "raffle" << true;
        QTest::newRow("its end starts the search") << "Fair 00"
                                                   << "0003" << true;
        QTest::newRow("its start ends the search") << "03 Fair"
                                                   << "0003" << true;
        QTest::newRow("one letter apart") << "Fair"
                                          << "Faix" << false;
        QTest::newRow("placed beyond ASCII") << QString::fromUtf8("Fête") << "0003" << true;
        QTest::newRow("search beyond ASCII")
            << "Spring Fair" << QString::fromUtf8("STRASSE ß") << true;
    }
    void placedTextMayBeTouched()
    {
        QFETCH(QString, placed);
        QFETCH(QString, search);
        QFETCH(bool, mayTouch);
        DocumentModel model;
        QVERIFY(!model.guardsEverywhere(search));
        model.replaceBegins(false);
        model.placed(placed);
        model.placed(placed);
        QCOMPARE(model.placedTexts().size(), 2);
        QCOMPARE(model.guardsEverywhere(search), mayTouch);
        int asked = 0;
        const auto after = [&] { return ++asked, true; };
        QCOMPARE(model.guardsFromInsertionPoint(search, after), mayTouch);
        QCOMPARE(asked, mayTouch ? 1 : 0);
    }

    void emptyReplacementPlacesNothing()
    {
        DocumentModel model;
        model.placed(QString());
        QVERIFY(model.placedTexts().empty());
    }

    // Whether placed text lies after the insertion point is asked once and holds while the
    // point only moves on; a move elsewhere or a replace-all over everything forgets it.
    void placedTextAfterIsAskedOnce_data()
    {
        QTest::addColumn<int>("between");
        QTest::addColumn<int>("asked");
        QTest::newRow("a search from the point") << 0 << 1;
        QTest::newRow("a move") << 1 << 2;
        QTest::newRow("a replace-all everywhere") << 2 << 2;
    }
    void placedTextAfterIsAskedOnce()
    {
        QFETCH(int, between);
        QFETCH(int, asked);
        DocumentModel model;
        model.placed("Raffle 0003");
        int calls = 0;
        const auto none = [&] { return ++calls, false; };
        model.replaceBegins(true);
        QVERIFY(!model.guardsFromInsertionPoint("0003", none));
        if (between == 1) {
            model.movedToPage(0, false);
        }
        model.replaceBegins(between != 2);
        QVERIFY(!model.guardsFromInsertionPoint("0003", none));
        QCOMPARE(calls, asked);
    }

    void styleLimitedSearchOnAFreshLastPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("firstStyle");
        QTest::addColumn<bool>("onlyInStyle");
        QTest::newRow("a number") << "0001"
                                  << "Ticket No." << true;
        QTest::newRow("case-blind in the wording") << "SPRING"
                                                   << "Ticket No." << false;
        QTest::newRow("in the wording") << "$10"
                                        << "Ticket No." << false;
        QTest::newRow("first paragraph restyled by the paste") << "0001"
                                                               << "Body" << false;
        QTest::newRow("beyond ASCII") << QString::fromUtf8("0001é") << "Ticket No." << false;
    }
    void styleLimitedSearchOnAFreshLastPage()
    {
        QFETCH(QString, text);
        QFETCH(QString, firstStyle);
        QFETCH(bool, onlyInStyle);
        DocumentModel model = onFreshLastPage();
        int asked = 0;
        const auto first = [&] { return ++asked, firstStyle; };
        model.replaceBegins(true);
        QCOMPARE(model.matchesOnlyInStyle(text, "Ticket No.", first), onlyInStyle);
        QCOMPARE(model.matchesOnlyInStyle(text, "Ticket No.", first), onlyInStyle);
        QVERIFY(asked <= 1);
        QVERIFY(!model.matchesOnlyInStyle(text, QString(), first));
    }

    // What ends the knowledge of the fresh last page, and what keeps it.
    void lastPageKnowledge_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("stillKnown");
        QTest::newRow("replacing numbers") << 0 << true;
        QTest::newRow("replacing in another style") << 1 << false;
        QTest::newRow("replacing without a style") << 2 << false;
        QTest::newRow("a replace-all everywhere") << 3 << false;
        QTest::newRow("a backspace") << 4 << false;
        QTest::newRow("moving away and back") << 5 << true;
        QTest::newRow("a paste in the middle") << 6 << false;
    }
    void lastPageKnowledge()
    {
        QFETCH(int, edit);
        QFETCH(bool, stillKnown);
        DocumentModel model = onFreshLastPage();
        model.replaceBegins(true);
        model.replacedFromInsertionPoint("Ticket No.", "0006");
        switch (edit) {
        case 1:
            model.replacedFromInsertionPoint("Title", "0006");
            break;
        case 2:
            model.replacedFromInsertionPoint(QString(), "0006");
            break;
        case 3:
            model.replaceBegins(false);
            break;
        case 4:
            model.typedBackspace(false);
            break;
        case 5:
            model.movedToPage(0, false);
            break;
        case 6:
            model.pasted(false, ticketPage());
            break;
        }
        model.movedToPage(1, true);
        model.replaceBegins(true);
        QCOMPARE(model.matchesOnlyInStyle("0001", "Ticket No.", kNumberStyle), stillKnown);
    }

    // How many matches a search from the start of a fresh last page can find at most: the
    // search ends at the last one instead of searching on to the end.
    void matchesCountedOnAFreshLastPage_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacedBefore");
        QTest::addColumn<int>("atMost"); // -1: not known
        const QString one(4, QChar(0xE001));
        const QString two(4, QChar(0xE002));
        QTest::newRow("a stand-in twice") << one << QString() << 2;
        QTest::newRow("not on the page") << QString(4, QChar(0xE003)) << QString() << 0;
        QTest::newRow("held by wording beyond ASCII") << QString(QChar(0xE004)) << QString() << -1;
        QTest::newRow("after another stand-in's number") << two << "0006" << 2;
        QTest::newRow("after a replacement sharing a character") << two << two.left(1) + "7" << -1;
        QTest::newRow("after an empty replacement") << two << "" << -1;
        QTest::newRow("after a replacement beyond ASCII") << two << QString::fromUtf8("é") << -1;
        QTest::newRow("letters have case") << "Fair" << QString() << -1;
    }
    void matchesCountedOnAFreshLastPage()
    {
        QFETCH(QString, search);
        QFETCH(QString, replacedBefore);
        QFETCH(int, atMost);
        const QString one(4, QChar(0xE001));
        const QString two(4, QChar(0xE002));
        auto paragraphs = std::make_shared<std::vector<CopiedParagraph>>(
            std::vector<CopiedParagraph>{{"Ticket No.", one},
                                         {"Title", QString::fromUtf8("Fête Fair")},
                                         {"Terms", QString::fromUtf8("Don \xee\x80\x84 é")},
                                         {"Ticket No.", one},
                                         {"Ticket No.", two},
                                         {"Ticket No.", two},
                                         {"Body", QString()}});
        DocumentModel model = onFreshLastPage(CopiedPage::of(paragraphs, 7, true));
        if (!replacedBefore.isNull()) {
            model.replaceBegins(true);
            model.replacedFromInsertionPoint("Ticket No.", replacedBefore);
        }
        model.replaceBegins(true);
        QCOMPARE(model.matchesAtMost(search).value_or(-1), atMost);
        model.movedToPage(0, false);
        QVERIFY(!model.matchesAtMost(search));
    }

    // Paste and backspace at the end, as a run adds a page.
    void pasteAndBackspace_data()
    {
        QTest::addColumn<QString>("lastParagraph");
        QTest::addColumn<bool>("knownAfterBackspace");
        QTest::newRow("copy ends empty") << QString() << true;
        QTest::newRow("copy ends in text") << "Email:" << false;
    }
    void pasteAndBackspace()
    {
        QFETCH(QString, lastParagraph);
        QFETCH(bool, knownAfterBackspace);
        DocumentModel model;
        model.movedToEnd();
        QVERIFY(model.atEnd());
        model.pasted(true, ticketPage(lastParagraph));
        QVERIFY(model.atEnd());
        QVERIFY(model.endsInPage());
        QVERIFY(model.typedBackspace(true));
        QVERIFY(!model.endsInPage());
        QVERIFY(!model.atEnd()); // known again only once the deletion is done
        model.movedToEnd();
        model.movedToPage(1, true);
        QCOMPARE(model.page(), std::optional<int>(1));
        model.replaceBegins(true);
        QCOMPARE(model.matchesOnlyInStyle("0001", "Ticket No.", kNumberStyle), knownAfterBackspace);
    }

    void pasteElsewhereIsNotFollowed()
    {
        DocumentModel model;
        model.pasted(false, ticketPage());
        QVERIFY(!model.atEnd());
        QVERIFY(!model.endsInPage());
        model.movedToPage(0, true);
        model.replaceBegins(true);
        QVERIFY(!model.matchesOnlyInStyle("0001", "Ticket No.", kNumberStyle));
    }

    void copiesThatAreNotOnePage()
    {
        auto one = std::make_shared<std::vector<CopiedParagraph>>(
            std::vector<CopiedParagraph>{{"Ticket No.", "0001"}});
        const CopiedPage single = CopiedPage::of(one, 1, true);
        QVERIFY(single.onePage && !single.endsInPage);
        const CopiedPage twoPages = CopiedPage::of(one, 3, false);
        QVERIFY(!twoPages.onePage && !twoPages.endsInPage && !twoPages.paragraphs);
        const CopiedPage table = CopiedPage::of(nullptr, 3, true);
        QVERIFY(table.onePage && table.endsInPage && !table.paragraphs);
        DocumentModel model = onFreshLastPage(table);
        model.replaceBegins(true);
        QVERIFY(!model.matchesOnlyInStyle("0001", "Ticket No.", kNumberStyle));
    }

    // The statistics of repeated pages are known exactly, or not at all.
    void statisticsOfRepeatedPages_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("firstNumber");
        QTest::addColumn<QString>("twist");
        QTest::addColumn<int>("twistPage");
        QTest::addColumn<bool>("known");
        QTest::newRow("numbers of one width") << 40 << 1 << "" << 0 << true;
        QTest::newRow("numbers growing wider") << 40 << 9990 << "" << 0 << true;
        QTest::newRow("the fourth page wider") << 6 << 9997 << "" << 0 << true;
        QTest::newRow("three pages") << 3 << 1 << "" << 0 << false;
        QTest::newRow("a change before the third page") << 40 << 1 << "changed" << 2 << true;
        QTest::newRow("a change on a later page") << 40 << 1 << "changed" << 7 << false;
        QTest::newRow("wording in place of a number") << 40 << 1 << "wording" << 9 << false;
        QTest::newRow("fewer matches on the last page") << 40 << 1 << "one match" << 40 << false;
        QTest::newRow("the office cannot count") << 40 << 1 << "no count" << 0 << false;
    }

    void statisticsOfRepeatedPages()
    {
        QFETCH(int, pages);
        QFETCH(int, firstNumber);
        QFETCH(QString, twist);
        QFETCH(int, twistPage);
        QFETCH(bool, known);
        QStringList numbers;
        for (int page = 0; page < pages; ++page) {
            numbers << QString::number(firstNumber + page).rightJustified(4, u'0');
        }
        const auto [followed, office] = followPages(numbers, twist, twistPage);
        QCOMPARE(followed.has_value(), known);
        if (known) {
            QCOMPARE(*followed, office);
        }
    }

    void layoutForgetsTheLastParagraph()
    {
        DocumentModel model;
        model.pasted(true, ticketPage());
        QVERIFY(model.endsInPage());
        model.laidOut();
        QVERIFY(!model.endsInPage());
    }
};

QTEST_GUILESS_MAIN(TestDocumentModel)
#include "test_document_model.moc"
