// Times whole generation runs, from the click on "Start Creating Template" to the preview shown
// (offscreen), against the real office:
//   run_bench [tickets ...]      (default 5 100 1000 10000)
//   run_bench --pdf FILE.doc     (only the PDF of a document kept with TICKETWRIGHT_BENCH_KEEP)
//   run_bench --command [tickets ...]
//                                (each count through the window, then through the command line:
//                                the program started with --count and --output, timed from its
//                                start to its end, against the same floor)
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
// numbers are checked: every number from 1 to the count twice, in order. With
// TICKETWRIGHT_BENCH_BOOKS set, each count runs twice in turn, in sequence on Letter and then cut
// and stack on A4, and the ratio of the two is printed. With TICKETWRIGHT_BENCH_PICTURE=FILE,
// each count runs again with that picture chosen in the window, and the ratios of the two runs
// and of their PDFs are printed; every run prints its document's and its PDF's size.
// Each document is also saved as a PDF, as "Save Results" does, and that is timed against the same
// floor (TICKETWRIGHT_BENCH_NO_PDF leaves it out; TICKETWRIGHT_BENCH_NO_FLOOR leaves the floors
// out, for a ratio between runs only). TICKETWRIGHT_BENCH_KEEP names a folder that keeps a copy of
// each saved document and its PDF. TICKETWRIGHT_BENCH_ROUNDS=N runs the whole list N times over,
// one round after the other, and takes the 20,000 / 10,000 ratios from each count's fastest run: on
// a shared machine a run can lose a quarter of its speed for a minute, and the fastest is the one
// least disturbed. With a count of 100 or fewer in the list, each ratio is also given less that
// count's fastest time, the part that does not grow with the pages. TICKETWRIGHT_BENCH_MARKS
// prints, for each run, every office call the stages are cut from and the end of each added page,
// in seconds from the click: where a short run's fixed costs go. TICKETWRIGHT_BENCH_ON_SCREEN shows
// the main window (and so the preview) on the display, for a run through the window as a person
// sees it; the click is still the button's own handler. TICKETWRIGHT_BENCH_COLD leaves the waiting
// offices as started, not made ready with the template, as the command line leaves them.

#include "book_row.h"
#include "form1.h"
#include "form2.h"
#include "office_figures.h"
#include "picture_in_advance.h"
#include "picture_row.h"
#include "run_offices.h"
#include "save_doc_as_jpg.h"
#include "seams.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "timed_office.h"
#include "timeline.h"
#include "word_automation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace office_figures;

namespace {

// How long the person takes to type the wording before the click.
constexpr qint64 kTypingMs = 4000;

struct Options
{
    bool comparePicture = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_COMPARE_PICTURE");
    bool checkNumbers = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_READ_BACK");
    bool onScreen = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_ON_SCREEN");
    bool noFloor = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_NO_FLOOR");
    bool noPdf = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_NO_PDF");
    bool books = qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_BOOKS");
    QString picture = qEnvironmentVariable("TICKETWRIGHT_BENCH_PICTURE");
    QString keep = qEnvironmentVariable("TICKETWRIGHT_BENCH_KEEP");
    bool pictureRun = false; // this run has the picture
};

// Each count's runs, for its fastest one and the spread.
struct Figures
{
    std::map<int, std::vector<double>> totals;
    std::map<int, std::vector<double>> pdfs;
    std::map<int, std::vector<double>> cpus;
    std::map<int, std::vector<double>> cutAndStackA4; // totals, with TICKETWRIGHT_BENCH_BOOKS
    std::map<int, std::vector<double>> commandTotals; // with --command
    std::map<int, std::vector<double>> pictureTotals; // with TICKETWRIGHT_BENCH_PICTURE
    std::map<int, std::vector<double>> picturePdfs;
    std::map<int, std::vector<double>> floors; // the office by itself, per document
};

// The counts asked for, each round after the other.
std::vector<int> runsAsked(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
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
    return runs;
}

// The program as main() sets it up, with messages printed and every office timed.
void installProgram()
{
    Seams::installProduct();
    Seams::current().messageBox = [](const QString& text, const QString&, MsgStyle) {
        std::fprintf(stderr, "message: %s\n", qPrintable(QString(text).replace('\r', ' ')));
        return MsgAnswer::Ok;
    };
    Seams::current().openUrl = [](const QUrl&) { return true; };
    PictureInAdvance::setEnabled(true);
    word::setApplicationFactory(
        [] { return timedApplication(word::defaultApplicationFactory()()); }, true);
}

// The window waits while the person types and the run's offices start, as in the program; then
// the click, until the preview is shown (on the display, when asked). Gives the seconds taken.
double clickAndWait(Form1& form, const Options& options)
{
    // As the window does: the offices are made ready with the template, unless asked not to.
    RunOffices::startEarly(qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_COLD")
                               ? QByteArray()
                               : ticketTemplateBytes());
    // Idle as the window is while the person types: the event loop sleeps between events, so the
    // offices getting ready have the processors to themselves.
    QEventLoop typing;
    QTimer::singleShot(kTypingMs, &typing, &QEventLoop::quit);
    typing.exec();
    Timeline& t = Timeline::current();
    t.programCpuAtClick = programCpuSeconds();
    t.officeCpuAtClick = officeCpuSeconds();
    t.click = Timeline::now();
    form.PushButton6_Click();
    if (options.onScreen && form.preview()) {
        QElapsedTimer mapping;
        mapping.start();
        while (!(form.preview()->windowHandle() && form.preview()->windowHandle()->isExposed()) &&
               mapping.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    return Timeline::now() - t.click;
}

// One line of stages for the run just made; gives the office's floor.
double printStages(int count, double total, const QString& document, const QString& folder,
                   const Options& options)
{
    const Timeline& t = Timeline::current();
    const double click = t.click;
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
    const double layerFloor = options.noFloor ? 0 : layerFloorSeconds(document, folder);
    const double floor = options.noFloor ? 0 : officeFloorSeconds(document, folder);
    std::printf("%8d %6d | %8.2f %8.2f %10.2f %8.2f %8.2f %8.2f %8.2f | %8.2f | %7.1f %7.1f "
                "%7.1f %7.1f | %7.2f %7.2f %6.2f | %8.0f\n",
                count, std::max(1, count / ticket_numbers::kTicketsPerPage), opened - click,
                filled - opened, copy > 0 ? std::min(save, checking) - copy : 0.0, saved - save,
                checked - checking, quit - std::max(saved, checked), pictured - quit, total,
                t.pageMs(100), t.pageMs(1000), t.pageMs(2000), t.pageMs(4000), layerFloor, floor,
                floor > 0 ? total / floor : 0.0, static_cast<double>(t.peakKiB) / 1024.0);
    std::fflush(stdout);
    return floor;
}

// The checks and the PDF asked for, of the document just made.
void afterTheRun(const TicketBook& book, const QString& document, const QString& folder,
                 double floor, const Options& options, Figures& figures)
{
    if (options.comparePicture) {
        const QImage preview = Timeline::current().picture;
        const QImage whole = SaveDocAsJPG(document);
        std::printf("         picture: %s\n", !preview.isNull() && preview == whole
                                                  ? "identical to one of the whole saved document"
                                                  : "DIFFERS from one of the whole saved document");
    }
    if (!options.noPdf) {
        const auto [seconds, peakKiB] = pdfSeconds(document, folder);
        std::printf("         pdf: %.2f s", seconds);
        if (floor > 0) {
            std::printf(", %.2f x the floor", seconds / floor);
        }
        std::printf(", office peak %.0f MiB\n", static_cast<double>(peakKiB) / 1024.0);
        (options.pictureRun ? figures.picturePdfs : figures.pdfs)[book.count()].push_back(seconds);
    }
    if (!options.keep.isEmpty()) {
        QFile::copy(document, QDir(options.keep)
                                  .filePath(QStringLiteral("tickets-%1%2.doc")
                                                .arg(book.count())
                                                .arg(book.order() == TicketOrder::CutAndStack
                                                         ? "-cut-and-stack-a4"
                                                         : "")));
    }
    if (options.checkNumbers) {
        std::printf("         read back: %s\n", qPrintable(readBack(document, book)));
    }
    std::fflush(stdout);
}

// One whole run of count tickets through the window, with its figures; cutAndStackA4 chooses
// that order and paper.
void benchOne(int count, bool cutAndStackA4, const QString& folder, const Options& options,
              Figures& figures)
{
    Timeline::current() = Timeline();
    Form1 form;
    form.Form_Load();
    if (options.onScreen) {
        form.showCentred();
    }
    form.Text(8)->setText(QString::number(count));
    form.bookRow()->Order->setCurrentIndex(
        int(cutAndStackA4 ? TicketOrder::CutAndStack : TicketOrder::Sequence));
    form.bookRow()->Paper->setCurrentIndex(int(cutAndStackA4 ? Paper::A4 : Paper::Letter));
    if (cutAndStackA4) {
        std::printf("         cut and stack, A4:\n");
    }
    if (options.pictureRun) {
        std::printf("         with the picture %s:\n", qPrintable(options.picture));
        Seams& seams = Seams::current();
        const auto dialog = seams.openFileName;
        seams.openFileName = [&](QWidget*, const QString&, const QString&) {
            return options.picture;
        };
        form.pictureRow()->ChoosePicture->click();
        seams.openFileName = dialog;
    } else {
        form.pictureRow()->NoPicture->click();
    }
    const double total = clickAndWait(form, options);
    const double programCpu = programCpuSeconds() - Timeline::current().programCpuAtClick;
    const QString document = form.preview() ? form.preview()->mWordFile : QString();
    if (qEnvironmentVariableIsSet("TICKETWRIGHT_BENCH_MARKS")) {
        const Timeline& t = Timeline::current();
        for (const auto& [name, at] : t.marks) {
            std::printf("         mark %-10s %7.3f\n", qPrintable(name), at - t.click);
        }
        for (size_t k = 0; k < t.pastes.size(); ++k) {
            std::printf("         page %zu done %7.3f\n", k + 2, t.pastes[k] - t.click);
        }
    }
    const double floor = printStages(count, total, document, folder, options);
    std::printf("         document size: %.2f MB\n",
                static_cast<double>(QFileInfo(document).size()) / 1e6);
    if (floor > 0 && !cutAndStackA4 && !options.pictureRun) {
        figures.floors[count].push_back(floor);
    }
    (cutAndStackA4        ? figures.cutAndStackA4
     : options.pictureRun ? figures.pictureTotals
                          : figures.totals)[count]
        .push_back(total);
    double officeCpu = 0;
    for (const auto& [pid, seconds] : Timeline::current().officeCpu) {
        const auto& before = Timeline::current().officeCpuAtClick;
        const auto at = before.find(pid);
        officeCpu += seconds - (at != before.end() ? at->second : 0.0);
    }
    std::printf("         processor time: offices %.2f s, program %.2f s\n", officeCpu, programCpu);
    figures.cpus[count].push_back(officeCpu + programCpu);
    afterTheRun(
        TicketBook(1, std::max(count, ticket_numbers::kTicketsPerPage), form.bookChoices().order),
        document, folder, floor, options, figures);
    if (form.preview()) {
        form.preview()->hide();
    }
    QFile::remove(document);
}

// count tickets through the command line: the program from its start to its end, offices and all,
// against the office's floor for the document it wrote.
void commandOne(int count, const QString& folder, const Options& options, Figures& figures)
{
    const QString output = QDir(folder).filePath(QStringLiteral("command-%1.doc").arg(count));
    QFile::remove(output);
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    program.start(QStringLiteral(TICKETWRIGHT_PROGRAM),
                  {QStringLiteral("--count"), QString::number(count), QStringLiteral("--quiet"),
                   QStringLiteral("--output"), output});
    program.waitForFinished(-1);
    const double total = static_cast<double>(timer.elapsed()) / 1000.0;
    if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
        std::printf("         command line: ended with %d, after %.2f s\n", program.exitCode(),
                    total);
        return;
    }
    const double floor = options.noFloor ? 0 : officeFloorSeconds(output, folder);
    std::printf("         command line: %.2f s", total);
    if (floor > 0) {
        std::printf(", office %.2f s, ratio %.2f", floor, total / floor);
    }
    std::printf("\n");
    std::fflush(stdout);
    figures.commandTotals[count].push_back(total);
    QFile::remove(output);
}

double fastest(const std::vector<double>& seconds)
{
    return *std::min_element(seconds.begin(), seconds.end());
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
    std::printf("%s20,000 tickets / 10,000 tickets: %.2f", what, fastest(b) / fastest(a));
    if (a.size() > 1) {
        std::printf(" (fastest of %zu runs each; round by round:", a.size());
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            std::printf(" %.2f", b[i] / a[i]);
        }
        std::printf(")");
    }
    // What does not grow with the pages (the office's own start, in the floor) dilutes a growth:
    // with a short count in the sitting, each side's growth is also given less its fastest there.
    const auto shortest = seconds.begin();
    if (shortest->first <= 100) {
        const double fixed = fastest(shortest->second);
        std::printf("; less the fixed part (the fastest at %d tickets, %.2f s): %.2f",
                    shortest->first, fixed, (fastest(b) - fixed) / (fastest(a) - fixed));
    }
    std::printf("\n");
}

// Each count's fastest run, and its PDF's, against the fastest floor of the sitting.
void printFastest(const Figures& figures)
{
    for (const auto& [count, totals] : figures.totals) {
        const auto floors = figures.floors.find(count);
        const auto pdfs = figures.pdfs.find(count);
        std::printf("%d tickets, fastest of %zu: %.2f s", count, totals.size(), fastest(totals));
        const double floor = floors != figures.floors.end() ? fastest(floors->second) : 0.0;
        if (floor > 0) {
            std::printf(" (%.2f x the floor of %.2f s)", fastest(totals) / floor, floor);
        }
        if (pdfs != figures.pdfs.end()) {
            std::printf("; pdf %.2f s", fastest(pdfs->second));
            if (floor > 0) {
                std::printf(" (%.2f x)", fastest(pdfs->second) / floor);
            }
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Timeline::now();
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
    const bool commandLine = argc > 1 && qstrcmp(argv[1], "--command") == 0;
    if (commandLine) {
        --argc;
        ++argv;
    }
    installProgram();
    std::printf(
        "%8s %6s | %8s %8s %10s %8s %8s %8s %8s | %8s | %7s %7s %7s %7s | %7s %7s %6s | %8s\n",
        "tickets", "pages", "template", "fill", "replicate", "save", "check", "quit", "picture",
        "total", "ms@100", "ms@1000", "ms@2000", "ms@4000", "layer", "office", "ratio", "peak MiB");
    const Options options;
    Figures figures;
    for (int count : runsAsked(argc, argv)) {
        benchOne(count, false, temp.path(), options, figures);
        if (options.books) {
            benchOne(count, true, temp.path(), options, figures);
        }
        if (!options.picture.isEmpty()) {
            Options withPicture = options;
            withPicture.pictureRun = true;
            benchOne(count, false, temp.path(), withPicture, figures);
        }
        if (commandLine) {
            commandOne(count, temp.path(), options, figures);
        }
    }
    for (const auto& [count, totals] : figures.cutAndStackA4) {
        const auto& plain = figures.totals[count];
        std::printf("%d tickets, cut and stack on A4 / in sequence on Letter: %.3f (fastest of "
                    "%zu each)\n",
                    count, fastest(totals) / fastest(plain), totals.size());
    }
    for (const auto& [count, totals] : figures.pictureTotals) {
        std::printf("%d tickets, with the picture / without: run %.3f, pdf %.3f (fastest of %zu "
                    "each)\n",
                    count, fastest(totals) / fastest(figures.totals[count]),
                    figures.picturePdfs[count].empty() || figures.pdfs[count].empty()
                        ? 0.0
                        : fastest(figures.picturePdfs[count]) / fastest(figures.pdfs[count]),
                    totals.size());
    }
    printFastest(figures);
    printRatio("", figures.totals);
    printRatio("the office by itself (the floor), ", figures.floors);
    printRatio("pdf, ", figures.pdfs);
    printRatio("processor time, ", figures.cpus);
    word::terminateAllInstances();
    return 0;
}
