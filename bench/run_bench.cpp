// Times whole generation runs, from the click on "Start Creating Template" to the preview shown
// (offscreen), against the real office:
//   run_bench [tickets ...]      (default 5 100 1000 10000)
//   run_bench --pdf FILE.doc     (only the PDF of a document kept with TICKETWRIGHT_BENCH_KEEP)
// Each stage is timed by watching the office calls the run makes, through a thin layer that
// forwards every call unchanged. The floor is the office by itself: its own command-line
// conversion of the very document the run produced to a Word 97 file (the second of two, in a
// fresh private profile), outside our layer; the ratio is against it. Beside it stands the same
// open + save through our own layer. The office's peak memory is read from the kernel before
// each instance ends.
// Before each click the bench waits a few seconds, as a person typing the wording would, while the
// run's offices start. With TICKETWRIGHT_BENCH_COMPARE_PICTURE set, each run's preview picture is
// compared, pixel for pixel, with a picture made afterwards from the whole saved document. With
// TICKETWRIGHT_BENCH_READ_BACK set, a fresh office opens each saved document again and its ticket
// numbers are checked: every number from 1 to the count twice, in order.
// Each document is also saved as a PDF, as "Save Results" does, and that is timed against the same
// floor (TICKETWRIGHT_BENCH_NO_PDF leaves it out; TICKETWRIGHT_BENCH_NO_FLOOR leaves the floors
// out, for a ratio between runs only). TICKETWRIGHT_BENCH_KEEP names a folder that keeps a copy of
// each saved document and its PDF. TICKETWRIGHT_BENCH_ROUNDS=N runs the whole list N times over,
// one round after the other, and takes the 20,000 / 10,000 ratios from each count's fastest run: on
// a shared machine a run can lose a quarter of its speed for a minute, and the fastest is the one
// least disturbed. TICKETWRIGHT_BENCH_ON_SCREEN shows the main window (and so the preview) on the
// display, for a run through the window as a person sees it; the click is still the button's own
// handler.

#include "form1.h"
#include "form2.h"
#include "generation_run.h"
#include "picture_in_advance.h"
#include "save_doc_as_jpg.h"
#include "save_doc_as_pdf.h"
#include "seams.h"
#include "ticket_number_check.h"
#include "word_automation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

QElapsedTimer gClock;
// How long the person takes to type the wording before the click.
constexpr qint64 kTypingMs = 4000;

double now()
{
    return static_cast<double>(gClock.nsecsElapsed()) / 1e9;
}

struct Timeline
{
    std::vector<std::pair<QString, double>> marks;
    std::vector<double> pastes;
    QImage picture; // the first one the run made
    long peakKiB = 0;
    std::map<QString, double> officeCpu; // seconds, by process id, as last seen
    void mark(const QString& what) { marks.emplace_back(what, now()); }
    double at(const QString& what, int nth = 1) const
    {
        for (const auto& [name, t] : marks) {
            if (name == what && --nth == 0) {
                return t;
            }
        }
        return -1;
    }
    // The first mark of that name after the time, or -1.
    double firstAfter(const QString& what, double after) const
    {
        for (const auto& [name, t] : marks) {
            if (name == what && t > after) {
                return t;
            }
        }
        return -1;
    }
    double last(const QString& what) const
    {
        double found = -1;
        for (const auto& [name, t] : marks) {
            if (name == what) {
                found = t;
            }
        }
        return found;
    }
};

Timeline gTimeline;

// This process's office children: each one's process id and the text of its status.
std::vector<std::pair<QString, QString>> officeChildren()
{
    std::vector<std::pair<QString, QString>> children;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString text = QString::fromLatin1(status.readAll());
        if (text.contains(QStringLiteral("Name:\tsoffice")) &&
            text.contains(QStringLiteral("PPid:\t") + self + QLatin1Char('\n'))) {
            children.emplace_back(pid, text);
        }
    }
    return children;
}

// Peak resident memory of this process's office children, in KiB.
long officePeakKiB()
{
    long peak = 0;
    for (const auto& [pid, text] : officeChildren()) {
        const qsizetype at = text.indexOf(QStringLiteral("VmHWM:"));
        peak = std::max(peak, text.mid(at + 6).trimmed().section(QLatin1Char(' '), 0, 0).toLong());
    }
    return peak;
}

// Processor time each office child has used so far, in seconds, by process id.
std::map<QString, double> officeCpuSeconds()
{
    std::map<QString, double> seconds;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& [pid, text] : officeChildren()) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // utime and stime, the 14th and 15th fields, counted after the name's closing ")".
        const QStringList f = QString::fromLatin1(stat.readAll())
                                  .section(QLatin1Char(')'), -1)
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() > 12) {
            seconds[pid] = (f[11].toDouble() + f[12].toDouble()) / ticks;
        }
    }
    return seconds;
}

class TimedRange : public word::Range
{
public:
    explicit TimedRange(std::unique_ptr<word::Range> inner) : mInner(std::move(inner)) {}
    QImage CopyAsPicture() override
    {
        QImage picture = mInner->CopyAsPicture();
        if (gTimeline.picture.isNull()) {
            gTimeline.picture = picture;
        }
        return picture;
    }
    QStringList paragraphTexts(const QString& style) override
    {
        gTimeline.mark(QStringLiteral("text"));
        QStringList texts = mInner->paragraphTexts(style);
        gTimeline.mark(QStringLiteral("text done"));
        return texts;
    }
    int paragraphCount(const QString& style) override
    {
        gTimeline.mark(QStringLiteral("text"));
        const int count = mInner->paragraphCount(style);
        gTimeline.mark(QStringLiteral("text done"));
        return count;
    }
    QString Text() override
    {
        gTimeline.mark(QStringLiteral("text"));
        QString text = mInner->Text();
        gTimeline.mark(QStringLiteral("text done"));
        return text;
    }

private:
    std::unique_ptr<word::Range> mInner;
};

class TimedDocument : public word::Document
{
public:
    explicit TimedDocument(std::shared_ptr<word::Document> inner) : mInner(std::move(inner)) {}
    void SaveAs(const QString& path) override
    {
        gTimeline.mark(QStringLiteral("save"));
        mInner->SaveAs(path);
        gTimeline.mark(QStringLiteral("saved"));
    }
    void ExportAsFixedFormat(const QString& path, word::WdExportFormat format,
                             const word::FixedFormatOptions& options) override
    {
        mInner->ExportAsFixedFormat(path, format, options);
    }
    void Close() override { mInner->Close(); }
    void Close(word::WdSaveOptions o) override { mInner->Close(o); }
    void FitTextToLines() override { mInner->FitTextToLines(); }
    bool HasFields() override { return mInner->HasFields(); }
    std::unique_ptr<word::Range> range() override
    {
        return std::make_unique<TimedRange>(mInner->range());
    }

private:
    std::shared_ptr<word::Document> mInner;
};

class TimedSelection : public word::Selection
{
public:
    word::Selection* inner = nullptr;
    word::Find& find() override { return inner->find(); }
    void WholeStory() override
    {
        gTimeline.mark(QStringLiteral("copy"));
        inner->WholeStory();
    }
    void Copy() override { inner->Copy(); }
    void EndKey(word::WdUnits u) override { inner->EndKey(u); }
    void Paste() override { inner->Paste(); }
    void TypeBackspace() override { inner->TypeBackspace(); }
    void GoTo(word::WdGoToItem w, word::WdGoToDirection d, int c) override { inner->GoTo(w, d, c); }
    void BeginBatch() override { inner->BeginBatch(); }
    // The run gathers each added page's steps in one batch: a page is done when its batch is.
    std::vector<word::BatchFailure> EndBatch(const std::function<void()>& meanwhile) override
    {
        auto failures = inner->EndBatch(meanwhile);
        gTimeline.pastes.push_back(now());
        return failures;
    }
};

class TimedApplication : public word::Application, public word::Documents
{
public:
    explicit TimedApplication(std::unique_ptr<word::Application> inner) : mInner(std::move(inner))
    {
        mSelection.inner = &mInner->selection();
    }
    void quit() override
    {
        gTimeline.peakKiB = std::max(gTimeline.peakKiB, officePeakKiB());
        for (const auto& [pid, seconds] : officeCpuSeconds()) {
            gTimeline.officeCpu[pid] = seconds;
        }
        mInner->quit();
        gTimeline.mark(QStringLiteral("quit"));
    }
    void setDisplayAlerts(bool on) override { mInner->setDisplayAlerts(on); }
    void setProgress(word::ProgressHandler handler) override
    {
        mInner->setProgress(std::move(handler));
    }
    word::Documents& documents() override { return *this; }
    word::Selection& selection() override
    {
        mSelection.inner = &mInner->selection();
        return mSelection;
    }
    std::shared_ptr<word::Document> activeDocument() override
    {
        return std::make_shared<TimedDocument>(mInner->activeDocument());
    }
    std::shared_ptr<word::Document> Open(const QString& path, bool readOnly, bool visible) override
    {
        auto document =
            std::make_shared<TimedDocument>(mInner->documents().Open(path, readOnly, visible));
        gTimeline.mark(QStringLiteral("opened"));
        return document;
    }

private:
    std::unique_ptr<word::Application> mInner;
    TimedSelection mSelection;
};

// The office by itself: its own conversion of the document, run twice in a fresh profile of its
// own, the second timed (the first sets the profile up). -1 when it failed.
double officeFloorSeconds(const QString& document, const QString& folder)
{
    QTemporaryDir profile;
    const QString out = folder + QStringLiteral("/office-floor");
    const QStringList args = {QStringLiteral("-env:UserInstallation=") +
                                  QUrl::fromLocalFile(profile.path()).toString(),
                              QStringLiteral("--headless"),
                              QStringLiteral("--norestore"),
                              QStringLiteral("--convert-to"),
                              QStringLiteral("doc:MS Word 97"),
                              QStringLiteral("--outdir"),
                              out,
                              document};
    double seconds = -1;
    for (int round = 0; round < 2; ++round) {
        QProcess office;
        office.setStandardOutputFile(QProcess::nullDevice());
        office.setStandardErrorFile(QProcess::nullDevice());
        const double start = now();
        office.start(QStringLiteral(TICKETWRIGHT_OFFICE_PROGRAM_DIR "/soffice"), args);
        const bool ok = office.waitForFinished(-1) && office.exitStatus() == QProcess::NormalExit &&
                        office.exitCode() == 0;
        seconds = ok ? now() - start : -1;
    }
    QDir(out).removeRecursively();
    return seconds;
}

// Our own layer: open the document and save it again.
double layerFloorSeconds(const QString& document, const QString& folder)
{
    auto app = word::defaultApplicationFactory()();
    const double start = now();
    auto doc = app->documents().Open(document, true);
    doc->SaveAs(folder + QStringLiteral("/floor.doc"));
    const double seconds = now() - start;
    QFile::remove(folder + QStringLiteral("/floor.doc"));
    word::terminateAllInstances();
    return seconds;
}

// The PDF of the document, as "Save Results" writes it: seconds, and the office's peak memory
// in KiB (read at each progress report, the last one just before the office ends).
std::pair<double, long> pdfSeconds(const QString& document, const QString& folder)
{
    const QString pdf = folder + QStringLiteral("/tickets.pdf");
    long peak = 0;
    QElapsedTimer sampled;
    sampled.start();
    const double start = now();
    SaveDocAsPDF(document, pdf, QStringLiteral("Bench"), [&](int percent) {
        if (percent >= 100 || sampled.elapsed() > 250) {
            peak = std::max(peak, officePeakKiB());
            sampled.restart();
        }
    });
    const double seconds = now() - start;
    const QString keep = qEnvironmentVariable("TICKETWRIGHT_BENCH_KEEP");
    if (!keep.isEmpty()) {
        QFile::copy(pdf, QDir(keep).filePath(QFileInfo(document).completeBaseName() + ".pdf"));
    }
    QFile::remove(pdf);
    word::terminateAllInstances();
    return {seconds, peak};
}

double pageMs(int page)
{
    // pastes[k] marks the end of page k + 2.
    const auto& p = gTimeline.pastes;
    const size_t k = static_cast<size_t>(page - 2);
    if (page < 3 || k >= p.size()) {
        return -1;
    }
    // The mean over a few pages around it, so one slow call does not stand for the page.
    const size_t from = k >= 5 ? k - 5 : 0;
    return (p[k] - p[from]) / static_cast<double>(k - from) * 1000.0;
}

// The ticket numbers of a saved document, as a fresh office reads them from the file. A document
// opened to edit ends in an empty paragraph, added in the last one's style if that held text.
QString readBack(const QString& document, int count)
{
    auto app = word::defaultApplicationFactory()();
    QStringList numbers =
        app->documents().Open(document, true)->range()->paragraphTexts(ticket_numbers::kStyle);
    word::terminateAllInstances();
    while (!numbers.isEmpty() && numbers.last().isEmpty()) {
        numbers.removeLast();
    }
    if (numbers.size() != 2 * count) {
        return QStringLiteral("%1 number paragraphs read back, not %2")
            .arg(numbers.size())
            .arg(2 * count);
    }
    const QString problem = ticket_numbers::verify(numbers, count);
    return problem.isEmpty()
               ? QStringLiteral("every number from 1 to %1 twice, in order").arg(count)
               : problem;
}

// The program's own processor time so far, all its threads, in seconds.
double programCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// 20,000 tickets against 10,000: the fastest run of each, and with several rounds each round's.
void printRatio(const char* what, const std::map<int, std::vector<double>>& seconds)
{
    const auto small = seconds.find(10000);
    const auto large = seconds.find(20000);
    if (small == seconds.end() || large == seconds.end()) {
        return;
    }
    const auto& a = small->second;
    const auto& b = large->second;
    std::printf("%s20,000 tickets / 10,000 tickets: %.2f", what,
                *std::min_element(b.begin(), b.end()) / *std::min_element(a.begin(), a.end()));
    if (a.size() > 1) {
        std::printf(" (fastest of %zu runs each; round by round:", a.size());
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            std::printf(" %.2f", b[i] / a[i]);
        }
        std::printf(")");
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    gClock.start();
    std::vector<int> counts;
    for (int i = 1; i < argc && qstrcmp(argv[1], "--pdf") != 0; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {5, 100, 1000, 10000};
    }
    const int rounds = std::max(1, qEnvironmentVariableIntValue("TICKETWRIGHT_BENCH_ROUNDS"));
    std::vector<int> runs;
    for (int round = 0; round < rounds; ++round) {
        runs.insert(runs.end(), counts.begin(), counts.end());
    }

    QTemporaryDir temp;
    QTemporaryDir config;
    qputenv("TEMP", temp.path().toUtf8());
    // run_bench --pdf FILE.doc: only the PDF of a document kept earlier, to look at its export.
    if (argc == 3 && qstrcmp(argv[1], "--pdf") == 0) {
        const auto [seconds, peakKiB] = pdfSeconds(QString::fromLocal8Bit(argv[2]), temp.path());
        std::printf("pdf: %.2f s, office peak %.0f MiB\n", seconds,
                    static_cast<double>(peakKiB) / 1024.0);
        return 0;
    }
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    Seams::installProduct();
    Seams::current().messageBox = [](const QString& text, const QString&, MsgStyle) {
        std::fprintf(stderr, "message: %s\n", qPrintable(QString(text).replace('\r', ' ')));
        return MsgAnswer::Ok;
    };
    Seams::current().openUrl = [](const QUrl&) { return true; };
    PictureInAdvance::setEnabled(true);
    word::setApplicationFactory(
        [] {
            return std::unique_ptr<word::Application>(
                std::make_unique<TimedApplication>(word::defaultApplicationFactory()()));
        },
        true);

    std::printf(
        "%8s %6s | %8s %8s %10s %8s %8s %8s %8s | %8s | %7s %7s %7s %7s | %7s %7s %6s | %8s\n",
        "tickets", "pages", "template", "fill", "replicate", "save", "check", "quit", "picture",
        "total", "ms@100", "ms@1000", "ms@2000", "ms@4000", "layer", "office", "ratio", "peak MiB");
    const bool comparePicture = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_COMPARE_PICTURE");
    const bool checkNumbers = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_READ_BACK");
    const bool onScreen = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_ON_SCREEN");
    const bool noFloor = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_NO_FLOOR");
    // Each count's runs, for its fastest one and the spread.
    std::map<int, std::vector<double>> totals;
    std::map<int, std::vector<double>> pdfs;
    std::map<int, std::vector<double>> cpus;
    for (int count : runs) {
        gTimeline = Timeline();
        Form1 form;
        form.Form_Load();
        if (onScreen) {
            form.showCentred();
        }
        form.Text(8)->setText(QString::number(count));
        // As in the program: the run's offices start when the main window comes up, while the
        // person types the wording.
        GenerationRun::startOfficesEarly();
        QElapsedTimer typing;
        typing.start();
        while (typing.elapsed() < kTypingMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        const double click = now();
        const double programCpuBefore = programCpuSeconds();
        // What the waiting offices took to start is not the run's.
        const std::map<QString, double> officeCpuBefore = officeCpuSeconds();
        form.PushButton6_Click();
        if (onScreen && form.preview()) {
            // Until the preview is really on the display, not just asked to be.
            QElapsedTimer mapping;
            mapping.start();
            while (
                !(form.preview()->windowHandle() && form.preview()->windowHandle()->isExposed()) &&
                mapping.elapsed() < 5000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
        }
        const double shown = now();
        const double programCpu = programCpuSeconds() - programCpuBefore;
        const QString document = form.preview() ? form.preview()->mWordFile : QString();
        const int pages = std::max(1, count / ticket_numbers::kTicketsPerPage);

        const Timeline& t = gTimeline;
        const double opened = t.at(QStringLiteral("opened"));
        const double copy = t.at(QStringLiteral("copy"));
        // The last save is the document's; an earlier one is its first page, for the picture.
        const double save = t.last(QStringLiteral("save"));
        const double saved = t.last(QStringLiteral("saved"));
        // The check reads the document just before it is saved.
        const double checking = t.firstAfter(QStringLiteral("text"), copy > 0 ? copy : opened);
        const double checked = t.last(QStringLiteral("text done"));
        const double quit = t.at(QStringLiteral("quit"));
        const double pictured = t.at(QStringLiteral("quit"), 2);
        const double filled = copy > 0 ? copy : save;
        const double layerFloor = noFloor ? 0 : layerFloorSeconds(document, temp.path());
        const double floor = noFloor ? 0 : officeFloorSeconds(document, temp.path());
        const double total = shown - click;
        std::printf("%8d %6d | %8.2f %8.2f %10.2f %8.2f %8.2f %8.2f %8.2f | %8.2f | %7.1f %7.1f "
                    "%7.1f %7.1f | %7.2f %7.2f %6.2f | %8.0f\n",
                    count, pages, opened - click, filled - opened,
                    copy > 0 ? std::min(save, checking) - copy : 0.0, saved - save,
                    checked - checking, quit - std::max(saved, checked), pictured - quit, total,
                    pageMs(100), pageMs(1000), pageMs(2000), pageMs(4000), layerFloor, floor,
                    floor > 0 ? total / floor : 0.0, static_cast<double>(t.peakKiB) / 1024.0);
        std::fflush(stdout);
        totals[count].push_back(total);
        double officeCpu = 0;
        for (const auto& [pid, seconds] : t.officeCpu) {
            const auto before = officeCpuBefore.find(pid);
            officeCpu += seconds - (before != officeCpuBefore.end() ? before->second : 0.0);
        }
        std::printf("         processor time: offices %.2f s, program %.2f s\n", officeCpu,
                    programCpu);
        cpus[count].push_back(officeCpu + programCpu);
        if (comparePicture) {
            const QImage preview = gTimeline.picture;
            const QImage whole = SaveDocAsJPG(document);
            std::printf("         picture: %s\n",
                        !preview.isNull() && preview == whole
                            ? "identical to one of the whole saved document"
                            : "DIFFERS from one of the whole saved document");
        }
        if (!qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_NO_PDF")) {
            const auto [seconds, peakKiB] = pdfSeconds(document, temp.path());
            std::printf("         pdf: %.2f s", seconds);
            if (floor > 0) {
                std::printf(", %.2f x the floor", seconds / floor);
            }
            std::printf(", office peak %.0f MiB\n", static_cast<double>(peakKiB) / 1024.0);
            pdfs[count].push_back(seconds);
        }
        const QString keep = qEnvironmentVariable("TICKETWRIGHT_BENCH_KEEP");
        if (!keep.isEmpty()) {
            QFile::copy(document, QDir(keep).filePath(QStringLiteral("tickets-%1.doc").arg(count)));
        }
        if (checkNumbers) {
            std::printf("         read back: %s\n", qPrintable(readBack(document, count)));
        }
        std::fflush(stdout);
        if (form.preview()) {
            form.preview()->hide();
        }
        QFile::remove(document);
    }
    printRatio("", totals);
    printRatio("pdf, ", pdfs);
    printRatio("processor time, ", cpus);
    word::terminateAllInstances();
    return 0;
}
