// "Print..." from the preview, through a real CUPS server of the test's own with PDF printer
// queues: what each queue printed is read back.

#include "cups_server.h"
#include "form2.h"
#include "main_window_run.h"
#include "office_probe.h"
#include "reports.h"
#include "sample_fields.h"
#include "temp_folder.h"
#include "ticket_book.h"
#include "ticket_number_check.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kDefault = QStringLiteral("TicketPDF");
const QString kOther = QStringLiteral("OtherPDF");
const QString kRefusing = QStringLiteral("Refusing");

} // namespace

class TestPrinting : public QObject, private RealRuns
{
    Q_OBJECT

    std::unique_ptr<CupsServer> mCups;

    // A run of count tickets in the book's order and paper, shown in the preview.
    Form2* preview(const QString& count, const BookChoices& book = {})
    {
        const QString document = runFromMainWindow(mForm, sampleFields(count), book);
        [&] {
            QVERIFY2(!document.isEmpty() && mSeams->messages.isEmpty(),
                     qPrintable(mSeams->messageTexts().join('\n')));
        }();
        return mForm->preview();
    }

private slots:
    void initTestCase()
    {
        useOwnSettingsAndTemplate();
        mCups = std::make_unique<CupsServer>();
        if (!mCups->why().isEmpty()) {
            QSKIP(qPrintable(mCups->why()));
        }
        QCOMPARE(mCups->addPdfPrinter(kDefault, true), QString());
        QCOMPARE(mCups->addPdfPrinter(kOther, false), QString());
        QCOMPARE(mCups->addPdfPrinter(kRefusing, false), QString());
        QCOMPARE(mCups->rejectJobs(kRefusing), QString());
    }
    void cleanupTestCase() { mCups.reset(); }
    void init() { freshCase(); }
    void cleanup() { endCase(); }

    // A server without a queue: one message, no dialog, nothing else.
    void noPrinterGivesOneMessage()
    {
        Form2* form = preview(QStringLiteral("10"));
        QVERIFY(form);
        const CupsServer empty;
        QVERIFY2(empty.why().isEmpty(), qPrintable(empty.why()));
        form->PushButton9->click();
        QCOMPARE(mSeams->messages.size(), 1);
        QVERIFY2(mSeams->messages[0].text.startsWith("No printer is installed,"),
                 qPrintable(mSeams->messages[0].text));
        QVERIFY(mSeams->printOffered.isEmpty());
    }

    // The run's own pages reach the printer as vector pages, on the paper of the document, every
    // number exactly twice, the pages chosen and no others, and the copies asked for (a PDF
    // queue writes one).
    void printsTheRunsOwnPages_data()
    {
        QTest::addColumn<BookChoices>("book");
        QTest::addColumn<PrintRequest>("request");
        QTest::addColumn<int>("pages");
        QTest::newRow("the default printer, Letter") << BookChoices() << PrintRequest() << 4;
        QTest::newRow("a chosen printer, A4 cut and stack, two copies of pages 2 to 3")
            << BookChoices{"501", TicketOrder::CutAndStack, Paper::A4, {}}
            << printRequest(kOther, 2, "2-3") << 4; // the queue makes the collated copies
    }
    void printsTheRunsOwnPages()
    {
        QFETCH(BookChoices, book);
        QFETCH(PrintRequest, request);
        QFETCH(int, pages);
        Form2* form = preview(QStringLiteral("20"), book);
        QVERIFY(form);
        const QString queue = request.printer.isEmpty() ? kDefault : request.printer;
        const int before = mCups->lastJob(queue);
        mSeams->printRequest = request;
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messageTexts().join('\n')));
        QCOMPARE(mSeams->printOffered, (QList<std::pair<int, Paper>>{{4, book.paper}}));
        const int job = mCups->lastJob(queue);
        QVERIFY(job > before);
        QCOMPARE(mCups->waitForEnd(job), QString("completed"));
        QCOMPARE(mCups->jobAttributes(job).value("copies"), QString::number(request.copies));
        const QString printed = CupsServer::printedFile(job);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF");

        const QString info = QString::fromUtf8(probe::output("pdfinfo", {printed}));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(pages))),
                 qPrintable(info));
        QVERIFY2(info.contains(book.paper == Paper::A4 ? "(A4)" : "(letter)"), qPrintable(info));
        // Vector pages: text to read, and not one picture of a page.
        const QStringList images = QString::fromUtf8(probe::output("pdfimages", {"-list", printed}))
                                       .split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 2); // the heading lines alone
        const QString text = QString::fromUtf8(probe::output("pdftotext", {printed, "-"}));
        const TicketBook numbers(book.firstNumber.toInt(), 20, book.order);
        const int first = request.pages.isEmpty() ? 1 : request.pages.section('-', 0, 0).toInt();
        const int last =
            request.pages.isEmpty() ? numbers.pages() : request.pages.section('-', 1).toInt();
        for (int page = 1; page <= numbers.pages(); ++page) {
            for (int k = 1; k <= 5; ++k) {
                const QString number = ticket_numbers::format(numbers.numberAt(page, k));
                const int times = page >= first && page <= last ? 2 * request.copies : 0;
                QVERIFY2(probe::occurrences(text, number) == times,
                         qPrintable(number + QStringLiteral(" printed %1 times, not %2")
                                                 .arg(probe::occurrences(text, number))
                                                 .arg(times)));
            }
        }
    }

    // What a print shop asks for: a page set, two-sided along the long edge, two collated copies
    // in grey. The queue holds exactly those attributes (IPP writes a one-page range as "5-5"),
    // and prints exactly those pages, in order, once for each copy; two-sided, each copy starts a
    // sheet of its own, so the queue adds a blank back to the third page.
    void everyChoiceReachesTheQueue()
    {
        Form2* form = preview(QStringLiteral("25"));
        QVERIFY(form);
        PrintRequest request = printRequest(kOther, 2, QStringLiteral("1-2,5"));
        request.sides = PrintRequest::Sides::LongEdge;
        request.collate = true;
        request.grey = true;
        mSeams->printRequest = request;
        const int before = mCups->lastJob(kOther);
        form->PushButton9->click();
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messageTexts().join('\n')));
        const int job = mCups->lastJob(kOther);
        QVERIFY(job > before);
        QCOMPARE(mCups->waitForEnd(job), QString("completed"));
        const QHash<QString, QString> attributes = mCups->jobAttributes(job);
        const QList<std::pair<QString, QString>> expected{
            {"page-ranges", "1-2,5-5"},
            {"sides", "two-sided-long-edge"},
            {"multiple-document-handling", "separate-documents-collated-copies"},
            {"copies", "2"},
            {"print-color-mode", "monochrome"}};
        for (const auto& [name, value] : expected) {
            QCOMPARE(name + '=' + attributes.value(name), name + '=' + value);
        }
        const QString printed = CupsServer::printedFile(job);
        QVERIFY2(!printed.isEmpty(), "the queue wrote no PDF");
        const QString info = QString::fromUtf8(probe::output("pdfinfo", {printed}));
        QVERIFY2(info.contains(QRegularExpression("Pages: +8\\n")), qPrintable(info));
        QStringList firstNumbers;
        for (int page = 1; page <= 8; ++page) {
            const QString text = QString::fromUtf8(
                probe::output("pdftotext", {"-f", QString::number(page), "-l",
                                            QString::number(page), printed, "-"}));
            firstNumbers << QRegularExpression("\\b\\d{4}\\b").match(text).captured();
        }
        QCOMPARE(firstNumbers,
                 QStringList({"0001", "0006", "0021", "", "0001", "0006", "0021", ""}));
    }

    // Cancel while the pages of 2,000 tickets are made: the office stops at once, the job is
    // cancelled, nothing is printed and the print's PDF is gone. The time from the click to the
    // job's end is printed.
    void cancelStopsThePages()
    {
        Form2* form = preview(QStringLiteral("2000"));
        QVERIFY(form);
        QElapsedTimer sinceCancel;
        QTimer watch;
        const QDir temp(temp_folder::path());
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            // Once the office is making the pages into the print's PDF.
            if (progress != nullptr && !sinceCancel.isValid() &&
                !temp.entryList({"print-*.pdf"}, QDir::Files).isEmpty() &&
                !probe::officeChildrenOf(QCoreApplication::applicationPid()).isEmpty()) {
                sinceCancel.start();
                progress->cancel();
            }
        });
        watch.start(10);
        const int before = mCups->lastJob(kDefault);
        form->PushButton9->click();
        watch.stop();
        QVERIFY(sinceCancel.isValid());
        const qint64 back = sinceCancel.elapsed();
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messageTexts().join('\n')));
        const int job = mCups->lastJob(kDefault);
        QVERIFY(job > before);
        QCOMPARE(mCups->waitForEnd(job), QString("canceled"));
        qInfo("Cancel: the window back %lld ms after the click, the job canceled by %lld ms", back,
              sinceCancel.elapsed());
        QCOMPARE(CupsServer::printedFile(job), QString());
        QCOMPARE(temp.entryList({"print-*"}, QDir::Files), QStringList());
    }

    // A printer that takes no jobs: one report, with the service's reason.
    void refusingPrinterGivesOneReport()
    {
        Form2* form = preview(QStringLiteral("10"));
        QVERIFY(form);
        mSeams->printRequest = printRequest(kRefusing);
        form->PushButton9->click();
        QCOMPARE(mSeams->messages.size(), 1);
        QCOMPARE(mSeams->messages[0].title, QString("Application Error"));
        QVERIFY2(mSeams->messages[0].text.contains(kRefusing) &&
                     mSeams->messages[0].text.contains("not accepting jobs", Qt::CaseInsensitive),
                 qPrintable(mSeams->messages[0].text));
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
