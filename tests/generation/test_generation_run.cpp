#include "fake_word.h"
#include "generation_run.h"
#include "reports.h"
#include "run_host.h"
#include "run_labels.h"
#include "sample_fields.h"
#include "scripted_seams.h"
#include "ticket_book.h"
#include "ticket_number_check.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The main window as a run sees it, without a screen.
class TestHost : public RunHost
{
public:
    QStringList fields = sampleFields();
    bool isBusy = false;
    bool hourglass = false;
    QList<int> progressValues;
    QStringList progressTexts;
    int eventsProcessed = 0;
    std::function<void()> onEvents;
    QStringList handOver;
    QImage picture;
    QString wordFile;

    BookChoices choices;
    QList<Paper> papersAsked;

    QByteArray templateBytes(Paper paper) const override
    {
        const_cast<TestHost*>(this)->papersAsked << paper;
        return "template bytes";
    }
    BookChoices bookChoices() const override { return choices; }
    QString fieldText(int n) const override { return fields.at(n - 1); }
    bool busy() const override { return isBusy; }
    void setBusy(bool busy) override { isBusy = busy; }
    void setHourglass(bool on) override { hourglass = on; }
    void setProgressValue(int value) override { progressValues << value; }
    void setProgressText(const QString& text) override { progressTexts << text; }
    void processEvents() override
    {
        ++eventsProcessed;
        if (onEvents) {
            onEvents();
        }
    }
    void loadPreview() override { handOver << "load"; }
    void setPreviewPicture(const QImage& p) override
    {
        handOver << "picture";
        picture = p;
    }
    void setPreviewResult(const RunResult& result) override
    {
        handOver << "file";
        wordFile = result.wordFile;
    }
    void showPreview() override { handOver << "show"; }
    void hideMain() override { handOver << "hide"; }
};

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QList<int> labelsReported(const ScriptedSeams& seams)
{
    QList<int> labels;
    for (const QString& label : reports::labels(seams.messageTexts())) {
        labels << label.toInt();
    }
    return labels;
}

} // namespace

class TestGenerationRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> mTemp;
    std::unique_ptr<ScriptedSeams> mSeams;
    std::unique_ptr<FakeWord> mWord;
    TestHost mHost;

    QStringList tempFiles() const { return QDir(mTemp->path()).entryList(QDir::Files); }

private slots:
    void init()
    {
        mTemp = std::make_unique<QTemporaryDir>();
        qputenv("TEMP", mTemp->path().toUtf8());
        mSeams = std::make_unique<ScriptedSeams>();
        mWord = std::make_unique<FakeWord>();
        mHost = TestHost();
    }
    void cleanup()
    {
        mWord.reset();
        mSeams.reset();
        mTemp.reset();
        qunsetenv("TEMP");
    }

    void smallCountsGiveOnePage_data()
    {
        QTest::addColumn<QString>("count");
        for (const char* c : {"1", "5", "0", "-7", "5.4"}) {
            QTest::newRow(c) << c;
        }
    }
    void smallCountsGiveOnePage()
    {
        QFETCH(QString, count);
        mHost.fields[7] = count;
        GenerationRun::PushButton6_Click(mHost);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messages.value(0).text));
        const QString text = readText(mHost.wordFile);
        QVERIFY(!text.contains('\f'));
        QCOMPARE(ticket_numbers::verify(FakeWord::ticketNumbers(text), TicketBook(1, 5)),
                 QString());
        QVERIFY(mHost.progressValues.isEmpty());
        QCOMPARE(mWord->calls.value("Copy"), 0);
    }

    void pagesAreCopiedAndRenumbered_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("pages");
        QTest::newRow("6") << "6" << 2;
        QTest::newRow("10") << "10" << 2;
        QTest::newRow("23") << "23" << 5;
    }
    void pagesAreCopiedAndRenumbered()
    {
        QFETCH(QString, count);
        QFETCH(int, pages);
        mHost.fields[7] = count;
        GenerationRun::PushButton6_Click(mHost);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messages.value(0).text));
        const QString text = readText(mHost.wordFile);
        QCOMPARE(text.count('\f'), pages - 1);
        QCOMPARE(ticket_numbers::verify(FakeWord::ticketNumbers(text), TicketBook(1, 5 * pages)),
                 QString());
        QCOMPARE(mWord->calls.value("Copy"), 1);
        QCOMPARE(mWord->calls.value("Paste"), pages - 1);
        QCOMPARE(mHost.eventsProcessed, pages - 1);
        QList<int> expected;
        for (int i = 2; i <= pages; ++i) {
            expected << qRound(100.0 * i / pages);
        }
        expected << 0;
        QCOMPARE(mHost.progressValues, expected);
        QCOMPARE(mHost.progressTexts.last(), QString("Progress Bar"));
        QCOMPARE(mHost.progressTexts.first(),
                 QString("Please let this software running with touching the keyboard."));
    }

    // A second book, cut and stack on A4: its numbers where the order puts them, from the A4
    // template. A first number that got past the window is reported, and the run numbers from 1.
    void booksOfTickets()
    {
        mHost.fields[7] = "20";
        mHost.choices = {"501", TicketOrder::CutAndStack, Paper::A4, {}};
        GenerationRun::PushButton6_Click(mHost);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messages.value(0).text));
        QCOMPARE(mHost.papersAsked, QList<Paper>{Paper::A4});
        const QStringList numbers = FakeWord::ticketNumbers(readText(mHost.wordFile));
        QCOMPARE(numbers.mid(0, 10), QStringList({"0501", "0501", "0505", "0505", "0509", "0509",
                                                  "0513", "0513", "0517", "0517"}));
        QCOMPARE(ticket_numbers::verify(numbers, TicketBook(501, 20, TicketOrder::CutAndStack)),
                 QString());
        QVERIFY(!tempFiles().contains("template-a4.dot"));
    }
    void firstNumberPastTheWindow()
    {
        mHost.fields[7] = "10";
        mHost.choices.firstNumber = "0";
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY2(mSeams->messages[0].text.contains("from 1 to"),
                 qPrintable(mSeams->messages[0].text));
        QCOMPARE(ticket_numbers::verify(FakeWord::ticketNumbers(readText(mHost.wordFile)),
                                        TicketBook(1, 10)),
                 QString());
    }

    void wordingReplacesEveryPlaceholder()
    {
        mHost.fields = {"Spring Fair", "Drawn at noon", "A bike", "A kite",
                        "A book",      "Be there",      "",       "5"};
        GenerationRun::PushButton6_Click(mHost);
        const QString text = readText(mHost.wordFile);
        QCOMPARE(text.count("Spring Fair"), 10); // ticket and stub, five tickets
        QCOMPARE(text.count("Drawn at noon"), 5);
        QCOMPARE(text.count("\nBe there\n"), 10); // no donation: the presence text alone
        QVERIFY(!text.contains("DONATION", Qt::CaseInsensitive));
        QVERIFY(!text.contains("[Name", Qt::CaseInsensitive));
        QVERIFY(!text.contains("$500"));
    }

    void placedWordingIsNeverRewritten()
    {
        // Each field holds a later pass's search text or a ticket number of a later page.
        mHost.fields = {"RAFFLE 0003 OF 2027",
                        "WIN $500 IN VOUCHERS",
                        "$250",
                        "$100",
                        "$50",
                        "Be there",
                        "5",
                        "15"};
        GenerationRun::PushButton6_Click(mHost);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messages.value(0).text));
        const QString text = readText(mHost.wordFile);
        QCOMPARE(text.count("RAFFLE 0003 OF 2027"), 30); // ticket and stub, fifteen tickets
        QCOMPARE(text.count("WIN $500 IN VOUCHERS"), 15);
        QCOMPARE(text.count("\n$250\n$100\n$50\n"), 15);
        QCOMPARE(text.count("\nBe there / DONATION - 5\n"), 30);
        QCOMPARE(ticket_numbers::verify(FakeWord::ticketNumbers(text), TicketBook(1, 15)),
                 QString());
    }

    void existingTemplateIsUsedThenDeleted()
    {
        QFile planted(mTemp->filePath("template.dot"));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("the user's own template");
        planted.close();
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(mWord->openedBytes.value(0), QString("the user's own template"));
        QVERIFY(!QFile::exists(mTemp->filePath("template.dot")));
    }

    void onlyTheResultIsLeft()
    {
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(tempFiles().size(), 1);
        QVERIFY(tempFiles().first().startsWith("zanfel"));
        QVERIFY(QFileInfo(mHost.wordFile)
                    .fileName()
                    .contains(QRegularExpression("^zanfel[1-9]{8}\\.doc$")));
        QCOMPARE(mHost.handOver, QStringList({"load", "picture", "file", "show", "hide"}));
        QCOMPARE(mHost.picture.size(), QSize(1200, 1553)); // as the office rendered it
        QVERIFY(!mHost.isBusy);
        QVERIFY(!mHost.hourglass);
        QCOMPARE(mWord->created, 2); // the run's and the picture's
        QCOMPARE(mWord->alive, 0);
    }

    // The picture reaches the preview in memory: a picture file that something else left in the
    // folder is neither shown nor touched.
    void pictureFileInTheFolderIsNotUsed()
    {
        QImage stray(8, 8, QImage::Format_RGB32);
        stray.fill(Qt::red);
        QVERIFY(stray.save(mTemp->filePath("temp.bmp"), "BMP"));
        const QString before = readText(mTemp->filePath("temp.bmp"));
        GenerationRun::PushButton6_Click(mHost);
        QVERIFY(mSeams->messages.isEmpty());
        QCOMPARE(mHost.picture.size(), QSize(1200, 1553));
        QCOMPARE(readText(mTemp->filePath("temp.bmp")), before);
        QCOMPARE(tempFiles(), QStringList({"temp.bmp", QFileInfo(mHost.wordFile).fileName()}));
    }

    void takenNameIsNeverOverwritten()
    {
        QFile taken(mTemp->filePath("zanfel11111111.doc"));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("someone's document");
        taken.close();
        mSeams->randomValues = QList<double>(8, 0.0) + QList<double>(8, 0.99);
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(QFileInfo(mHost.wordFile).fileName(), QString("zanfel99999999.doc"));
        QCOMPARE(readText(taken.fileName()), QString("someone's document"));
    }

    void secondClickDuringARunDoesNothing()
    {
        mHost.fields[7] = "15";
        int nested = 0;
        mHost.onEvents = [&] {
            ++nested;
            GenerationRun::PushButton6_Click(mHost);
        };
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(nested, 2);
        QCOMPARE(mWord->created, 2);
        QVERIFY(mSeams->messages.isEmpty());
    }

    void failingStepReportsItsLabelAndTheRunGoesOn_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("label");
        using namespace run_labels;
        QTest::newRow("open") << "Open" << 1 << kOpenTemplate;
        QTest::newRow("first replace") << "Execute" << 1 << wordingPass(1).execute;
        QTest::newRow("pass 7 match case") << "setMatchCase" << 7 << kDonationPass.matchCase;
        QTest::newRow("pass 7 execute") << "Execute" << 7 << kDonationPass.execute;
        QTest::newRow("copy") << "Copy" << 1 << kCopyPage;
        QTest::newRow("paste") << "Paste" << 1 << kPaste;
        QTest::newRow("backspace") << "TypeBackspace" << 1 << kBackspace;
        QTest::newRow("previous page") << "GoTo" << 1 << kPreviousPage;
        QTest::newRow("next page") << "GoTo" << 2 << kNextPage;
        // After the seven wording passes, the page's numbers become stand-ins (five passes), the
        // first page takes its numbers again (five more), and then the second page is numbered.
        QTest::newRow("numbering search text") << "setText" << 18 << kNumberingPass.searchText;
        QTest::newRow("numbering") << "Execute" << 18 << kNumberingPass.execute;
        // The first save is the first page alone, for the picture: without it the picture is
        // made from the whole document, and nothing is reported.
        QTest::newRow("first page alone") << "SaveAs" << 1 << 0;
        QTest::newRow("save") << "SaveAs" << 2 << kSaveAndCheck;
        QTest::newRow("quit") << "quit" << 1 << kQuitOffice;
        QTest::newRow("picture") << "CopyAsPicture" << 1 << picture_labels::kTakePicture;
    }
    void failingStepReportsItsLabelAndTheRunGoesOn()
    {
        QFETCH(QString, operation);
        QFETCH(int, nth);
        QFETCH(int, label);
        mHost.fields[7] = "10";
        mWord->failOn(operation, nth);
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(labelsReported(*mSeams).value(0), label);
        QVERIFY(!mHost.isBusy);
        QVERIFY(mHost.handOver.contains("show"));
        QCOMPARE(mWord->alive, 0);
    }

    void missingPictureLeavesThePreviewEmpty()
    {
        mHost.picture = QImage(8, 8, QImage::Format_RGB32); // the previous run's
        mWord->failOn("CopyAsPicture");
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(labelsReported(*mSeams),
                 QList<int>({picture_labels::kTakePicture, picture_labels::kCheckPicture,
                             run_labels::kPreviewPicture}));
        QCOMPARE(mHost.handOver, QStringList({"load", "picture", "file", "show", "hide"}));
        QVERIFY(mHost.picture.isNull());
        QVERIFY(QFile::exists(mHost.wordFile));
    }

    void officeGoneMidRunReportsEachStepOnce()
    {
        mHost.fields[7] = "50";
        mWord->dieAfter(400);
        GenerationRun::PushButton6_Click(mHost);
        const QList<int> labels = labelsReported(*mSeams);
        QVERIFY(!labels.isEmpty());
        QCOMPARE(QSet<int>(labels.begin(), labels.end()).size(), labels.size());
        QVERIFY(labels.size() < 40);
        QVERIFY(!mHost.isBusy);
        QCOMPARE(mHost.handOver.last(), QString("hide"));
    }

    void officeThatCannotStart()
    {
        mWord->startFails = true;
        GenerationRun::PushButton6_Click(mHost);
        const QList<int> labels = labelsReported(*mSeams);
        QCOMPARE(labels.first(), run_labels::kStartOffice);
        // the office steps report in turn
        QVERIFY(labels.contains(run_labels::wordingPass(1).clearFind));
        QVERIFY(labels.contains(run_labels::kSaveAndCheck));
        QVERIFY(!mHost.isBusy);
        QVERIFY(mSeams->messages.first().text.startsWith("The office could not be started."));
    }

    void countThatIsNotANumberGivesOnePageAndSaysSo()
    {
        mHost.fields[7] = "lots";
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(labelsReported(*mSeams), QList<int>{run_labels::kTicketCount});
        QCOMPARE(ticket_numbers::verify(FakeWord::ticketNumbers(readText(mHost.wordFile)),
                                        TicketBook(1, 5)),
                 QString());
    }

    void damagedDocumentIsReportedAndStillHandedOver()
    {
        mHost.fields[7] = "15";
        mWord->brokenPaste = 2;
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(labelsReported(*mSeams), QList<int>{run_labels::kSaveAndCheck});
        QVERIFY(mSeams->messages[0].text.contains("0015"));
        QVERIFY(QFile::exists(mHost.wordFile));
        QCOMPARE(mHost.handOver.last(), QString("hide"));
    }

    void plantedTemplateOfAnotherKindIsNotOpened()
    {
        QVERIFY(QFile::link("/etc/passwd", mTemp->filePath("template.dot")));
        GenerationRun::PushButton6_Click(mHost);
        QCOMPARE(labelsReported(*mSeams).value(0), run_labels::kOpenTemplate);
        QCOMPARE(mWord->calls.value("Open"), 1); // only the picture's
    }
};

QTEST_MAIN(TestGenerationRun)
#include "test_generation_run.moc"
