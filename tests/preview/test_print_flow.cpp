// "Print..." without a printing service: the dialog answered by the script, the service's printers
// and jobs stood in for, so that what the flow decides and what reaches the job are seen without
// root or a server of the test's own.

#include "app_error.h"
#include "job_options.h"
#include "print_choices.h"
#include "print_queue.h"
#include "print_result.h"
#include "scoped_environment.h"
#include "scripted_seams.h"

#include <QDir>
#include <QFile>
#include <QPageRanges>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

namespace {

const QByteArray kPdf("%PDF-1.4 the pages of the run");

// What became of the one job the flow opened.
struct JobRecord
{
    bool opened = false;
    PrintRequest request;
    Paper paper = Paper::Letter;
    QString title;
    QByteArray sent;
    bool finished = false;
    bool cancelled = false;
};

class RecordedJob : public PrintJob
{
public:
    explicit RecordedJob(JobRecord& record) : mRecord(record) {}
    ~RecordedJob() override
    {
        if (!mRecord.finished) {
            cancel();
        }
    }
    void send(const QByteArray& piece) override { mRecord.sent += piece; }
    void finish() override { mRecord.finished = true; }
    void cancel() noexcept override { mRecord.cancelled = true; }

private:
    JobRecord& mRecord;
};

// The service's printers and jobs as a case sets them; the service's own come back after it.
class ScriptedQueue
{
public:
    explicit ScriptedQueue(QStringList printers, bool refuses = false)
        : mPrevious(PrintQueue::current())
    {
        PrintQueue::current().printers = [printers] { return printers; };
        PrintQueue::current().openJob = [this, refuses](const PrintRequest& request, Paper paper,
                                                        const QString& title) {
            if (refuses) {
                throw AppError(QStringLiteral("The printer refused the job."));
            }
            job = JobRecord{};
            job.opened = true;
            job.request = request;
            job.paper = paper;
            job.title = title;
            return std::unique_ptr<PrintJob>(std::make_unique<RecordedJob>(job));
        };
    }
    ~ScriptedQueue() { PrintQueue::current() = mPrevious; }
    ScriptedQueue(const ScriptedQueue&) = delete;
    ScriptedQueue& operator=(const ScriptedQueue&) = delete;

    JobRecord job;

private:
    PrintQueue mPrevious;
};

// The engine of a printer object as the printing service's keeps it: every property set is read
// back, the service's own options too, without a server.
struct ServiceEngine
{
    class Engine : public QPrintEngine, public QPaintEngine
    {
    public:
        void setProperty(PrintEnginePropertyKey key, const QVariant& value) override
        {
            mProperties.insert(key, value);
        }
        QVariant property(PrintEnginePropertyKey key) const override
        {
            return mProperties.value(key);
        }
        bool newPage() override { return true; }
        bool abort() override { return false; }
        int metric(QPaintDevice::PaintDeviceMetric) const override { return 1; }
        QPrinter::PrinterState printerState() const override { return QPrinter::Idle; }
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        Type type() const override { return QPaintEngine::User; }

    private:
        QHash<int, QVariant> mProperties;
    };
    Engine engine;
};

// Its engine made first and ended last, so that the printer never outlives it.
class ServicePrinter : private ServiceEngine, public QPrinter
{
public:
    ServicePrinter() { setEngines(&engine, &engine); }
};

} // namespace

class TestPrintFlow : public QObject
{
    Q_OBJECT

    QTemporaryDir mTemp;
    const PrintableDocument mDocument{QStringLiteral("/nowhere/zanfel12345678.doc"),
                                      QStringLiteral("Raffle Tickets: Spring Fair"), Paper::A4, 7};
    int mPdfsWritten = 0;

    // Writes the PDF as the office would, or fails as it may.
    PdfWriter writer(bool fails = false)
    {
        return [this, fails](const QString& wordFile, const QString& pdfPath,
                             const std::function<bool(int)>& progress) {
            QCOMPARE(wordFile, mDocument.wordFile);
            ++mPdfsWritten;
            if (fails) {
                throw AppError(QStringLiteral("The office could not write the PDF."));
            }
            progress(50);
            QFile pdf(pdfPath);
            QVERIFY(pdf.open(QIODevice::WriteOnly));
            pdf.write(kPdf);
        };
    }
    QStringList printPdfsLeft() const
    {
        return QDir(mTemp.path()).entryList({QStringLiteral("print-*")}, QDir::Files);
    }

private slots:
    void init() { mPdfsWritten = 0; }

    // Whatever the person chose in the dialog is what the job gets, with the document's paper and
    // title, and the whole PDF; a dialog left without a printer takes the default one.
    void theChoiceReachesTheJob_data()
    {
        QTest::addColumn<PrintRequest>("chosen");
        QTest::addColumn<QString>("printer");
        QTest::newRow("another printer, copies, a range")
            << printRequest(QStringLiteral("Office"), 3, QStringLiteral("2-5"))
            << QStringLiteral("Office");
        QTest::newRow("no printer named") << PrintRequest{} << QStringLiteral("Front desk");
    }
    void theChoiceReachesTheJob()
    {
        QFETCH(PrintRequest, chosen);
        QFETCH(QString, printer);
        const ScopedEnvironment temp("TEMP", QFile::encodeName(mTemp.path()));
        ScriptedSeams seams;
        seams.printRequest = chosen;
        ScriptedQueue queue({QStringLiteral("Front desk"), QStringLiteral("Office")});
        PrintResultDocument(nullptr, mDocument, writer());
        QVERIFY2(seams.messages.isEmpty(), qPrintable(seams.messageTexts().join('\n')));
        QCOMPARE(seams.printOffered, (QList<std::pair<int, Paper>>{{7, Paper::A4}}));
        QVERIFY(queue.job.opened);
        QCOMPARE(queue.job.request.printer, printer);
        QCOMPARE(queue.job.request.copies, chosen.copies);
        QCOMPARE(queue.job.request.pages, chosen.pages);
        QCOMPARE(queue.job.paper, Paper::A4);
        QCOMPARE(queue.job.title, mDocument.title);
        QCOMPARE(queue.job.sent, kPdf);
        QVERIFY(queue.job.finished && !queue.job.cancelled);
        QCOMPARE(printPdfsLeft(), QStringList());
    }

    // Every choice of the dialog, read from the printer object it sets, reaches the job as the
    // printing service names it; the paper stays the document's, whatever the dialog's options say.
    void theDialogsChoicesBecomeTheJobsOptions()
    {
        ServicePrinter printer;
        printer.setCopyCount(2);
        printer.setCollateCopies(true);
        printer.setDuplex(QPrinter::DuplexLongSide);
        printer.setColorMode(QPrinter::GrayScale);
        printer.setPageOrder(QPrinter::LastPageFirst);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("1-2,5")));
        // The dialog's options tab and a page size from its properties, where the dialog puts them.
        printer.printEngine()->setProperty(
            QPrintEngine::PrintEnginePropertyKey(0xfe00),
            QStringList{"page-set", "odd", "number-up", "2", "media", "iso_a3_297x420mm"});
        const PrintRequest request = PrintChoices::read(printer);
        const QList<JobOptions::Option> job = JobOptions::of(request, Paper::A4);
        const QList<JobOptions::Option> expected{
            {"copies", "2"},
            {"sides", "two-sided-long-edge"},
            {"multiple-document-handling", "separate-documents-collated-copies"},
            {"print-color-mode", "monochrome"},
            {"media", "iso_a4_210x297mm"},
            {"page-ranges", "1-2,5"},
            {"outputorder", "reverse"},
            {"page-set", "odd"},
            {"number-up", "2"}};
        QCOMPARE(job, expected);

        // The next dialog starts from these choices, but for the pages.
        ServicePrinter next;
        PrintChoices::apply(request, next);
        PrintRequest remembered = request;
        remembered.pages.clear();
        QCOMPARE(JobOptions::of(PrintChoices::read(next), Paper::A4),
                 JobOptions::of(remembered, Paper::A4));
    }

    // Each way a print stops short: at most one message or report, no PDF made for nothing, a job
    // opened is cancelled, never finished, and no print PDF stays behind.
    void stoppingShort_data()
    {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<bool>("dialogChosen");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<bool>("pdfFails");
        QTest::addColumn<QString>("message"); // the start of the one message; empty: none
        QTest::addColumn<int>("pdfs");
        const QStringList one{QStringLiteral("Front desk")};
        QTest::newRow("no printer") << QStringList() << true << false << false
                                    << QStringLiteral("No printer is installed,") << 0;
        QTest::newRow("dialog cancelled") << one << false << false << false << QString() << 0;
        QTest::newRow("printer refuses")
            << one << true << true << false << QStringLiteral("The printer refused the job.") << 0;
        QTest::newRow("the PDF fails")
            << one << true << false << true << QStringLiteral("The office could not write the PDF.")
            << 1;
    }
    void stoppingShort()
    {
        QFETCH(QStringList, printers);
        QFETCH(bool, dialogChosen);
        QFETCH(bool, refuses);
        QFETCH(bool, pdfFails);
        QFETCH(QString, message);
        QFETCH(int, pdfs);
        const ScopedEnvironment temp("TEMP", QFile::encodeName(mTemp.path()));
        ScriptedSeams seams;
        seams.printChosen = dialogChosen;
        ScriptedQueue queue(printers, refuses);
        PrintResultDocument(nullptr, mDocument, writer(pdfFails));
        QCOMPARE(seams.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(seams.messages[0].text.startsWith(message),
                     qPrintable(seams.messages[0].text));
        }
        QCOMPARE(seams.printOffered.size(), printers.isEmpty() ? 0 : 1);
        QCOMPARE(mPdfsWritten, pdfs);
        QVERIFY(!queue.job.finished);
        QCOMPARE(queue.job.cancelled, queue.job.opened);
        QCOMPARE(printPdfsLeft(), QStringList());
    }
};

QTEST_MAIN(TestPrintFlow)
#include "test_print_flow.moc"
