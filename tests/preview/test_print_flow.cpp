// "Print..." without a printing service: the dialog answered by the script, the service's printers
// and jobs stood in for, so that what the flow decides and what reaches the job are seen without
// root or a server of the test's own.

#include "app_error.h"
#include "print_queue.h"
#include "print_result.h"
#include "scoped_environment.h"
#include "scripted_seams.h"

#include <QDir>
#include <QFile>
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
                             const std::function<void(int)>& progress) {
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
            << PrintRequest{QStringLiteral("Office"), 3, 2, 5} << QStringLiteral("Office");
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
        QCOMPARE(queue.job.request.fromPage, chosen.fromPage);
        QCOMPARE(queue.job.request.toPage, chosen.toPage);
        QCOMPARE(queue.job.paper, Paper::A4);
        QCOMPARE(queue.job.title, mDocument.title);
        QCOMPARE(queue.job.sent, kPdf);
        QVERIFY(queue.job.finished && !queue.job.cancelled);
        QCOMPARE(printPdfsLeft(), QStringList());
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
