// "Print..." from the preview, through a real CUPS server of the test's own with PDF printer
// queues: what each queue printed is read back.

#include "cups_server.h"
#include "form2.h"
#include "main_window_run.h"
#include "office_probe.h"
#include "reports.h"
#include "sample_fields.h"
#include "ticket_book.h"
#include "ticket_number_check.h"

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
            << printRequest(kOther, 2, "2-3") << 2;
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
        QCOMPARE(mCups->copiesOf(job), request.copies);
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
                const int times = page >= first && page <= last ? 2 : 0;
                QVERIFY2(probe::occurrences(text, number) == times,
                         qPrintable(number + QStringLiteral(" printed %1 times, not %2")
                                                 .arg(probe::occurrences(text, number))
                                                 .arg(times)));
            }
        }
    }

    // Cancel while the pages are made: the job is cancelled and nothing is printed.
    void cancelStopsThePages()
    {
        Form2* form = preview(QStringLiteral("1000"));
        QVERIFY(form);
        bool cancelled = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress != nullptr && !cancelled) {
                cancelled = true;
                progress->cancel();
            }
        });
        watch.start(10);
        const int before = mCups->lastJob(kDefault);
        form->PushButton9->click();
        watch.stop();
        QVERIFY(cancelled);
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(mSeams->messageTexts().join('\n')));
        const int job = mCups->lastJob(kDefault);
        QVERIFY(job > before);
        QCOMPARE(mCups->waitForEnd(job), QString("canceled"));
        QCOMPARE(CupsServer::printedFile(job), QString());
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
