// Drives the Word layer the way a generation run does and prints what its page loop costs,
// over the pipe beside inside the office:
//   word_bench [pages]      (default 2000)
// The floor is what our layer needs to open and save the finished document; run_bench compares
// whole runs with the office by itself.

#include "replace_pass.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "word_automation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

QString number(int n)
{
    return ticket_numbers::format(n);
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The filled template, copied: what every further page is pasted from.
void fillAndCopy(word::Application& app, const QString& templatePath)
{
    app.documents().Open(templatePath, true);
    const QStringList fields = {QStringLiteral("[NAME OF RAFFLE EVENT]"),
                                QStringLiteral("Spring Gala"),
                                QStringLiteral("DRAWING WILL BE HELD AT THE END OF THE NIGHT"),
                                QStringLiteral("Draw at 9 pm"),
                                QStringLiteral("$500"),
                                QStringLiteral("$1000"),
                                QStringLiteral("$250"),
                                QStringLiteral("$300"),
                                QStringLiteral("$100"),
                                QStringLiteral("$50"),
                                QStringLiteral("DO NOT HAVE TO BE PRESENT TO WIN"),
                                QStringLiteral("Need not be present"),
                                QStringLiteral(" / DONATION - $10"),
                                QStringLiteral(" / DONATION - $5")};
    for (int k = 0; k < fields.size(); k += 2) {
        replaceAll(app, fields[k], fields[k + 1], word::WdFindWrap::Continue);
    }
    app.activeDocument()->FitTextToLines();
    app.selection().WholeStory();
    app.selection().Copy();
}

// The page loop as the run drives it, one batch per page; each page's time in ms.
std::vector<double> pageLoop(word::Application& app, int pages)
{
    word::Selection& selection = app.selection();
    std::vector<double> pageMs(pages + 1, 0.0);
    for (int i = 2; i <= pages; ++i) {
        QElapsedTimer one;
        one.start();
        selection.BeginBatch();
        pastePageAtEnd(selection);
        for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
            replaceAll(app, number(j), number((i - 1) * ticket_numbers::kTicketsPerPage + j),
                       word::WdFindWrap::Stop, QStringLiteral("Ticket No."));
        }
        const auto failures = selection.EndBatch();
        if (!failures.empty()) {
            throw word::Error(failures.front().description);
        }
        pageMs[i] = static_cast<double>(one.nsecsElapsed()) / 1e6;
    }
    return pageMs;
}

double averageMs(const std::vector<double>& pageMs, int from, int to)
{
    double sum = 0;
    int count = 0;
    for (int i = std::max(2, from); i <= std::min(static_cast<int>(pageMs.size()) - 1, to);
         ++i, ++count) {
        sum += pageMs[i];
    }
    return count ? sum / count : 0.0;
}

// The same loop both ways, each in an office of its own: over the pipe (every office call a round
// trip) and inside the office (one call per page). The office inside keeps its document, saved to
// resultPath; gives the seconds that run took from opening the template to the saved document.
double bothWays(const QString& templatePath, const QString& resultPath, int pages)
{
    std::printf("%-18s %9s %14s %14s %14s\n", "page loop", "start (s)", "ms near p.100",
                "ms last 20", "loop (s)");
    double runSeconds = 0;
    // Each way forced: an editor that cannot run inside the office is then an error here, not a
    // second pipe run under the office's name. Each office says its way on stderr.
    for (const bool inOffice : {false, true}) {
        qputenv("TICKETWRIGHT_PAGE_LOOP", inOffice ? "office" : "pipe");
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<word::Application> app = word::Application::create();
        const double started = seconds(timer);
        QElapsedTimer run;
        run.start();
        fillAndCopy(*app, templatePath);
        QElapsedTimer loop;
        loop.start();
        const std::vector<double> pageMs = pageLoop(*app, pages);
        const double loopSeconds = seconds(loop);
        std::printf("%-18s %9.2f %14.1f %14.1f %14.1f\n",
                    inOffice ? "inside the office" : "over the pipe", started,
                    averageMs(pageMs, 91, 110), averageMs(pageMs, pages - 19, pages), loopSeconds);
        std::fflush(stdout);
        if (inOffice) {
            app->activeDocument()->SaveAs(resultPath);
            runSeconds = seconds(run);
            app->setDisplayAlerts(false);
            app->activeDocument()->Close();
        }
        app->quit();
        app.reset();
        word::terminateAllInstances();
    }
    return runSeconds;
}

// The floor: a fresh office opens the finished document and saves it again. False when the
// document misses its last ticket.
bool printFloor(const QString& resultPath, const QString& againPath, int pages, double runSeconds)
{
    auto floorApp = word::Application::create();
    QElapsedTimer floor;
    floor.start();
    auto reopened = floorApp->documents().Open(resultPath);
    const double openSeconds = seconds(floor);
    reopened->SaveAs(againPath);
    const double floorSeconds = seconds(floor);
    // The last ticket number is in the document: the run really made every page.
    const int lastTicket = pages * ticket_numbers::kTicketsPerPage;
    if (!replaceAll(*floorApp, number(lastTicket), number(lastTicket),
                    word::WdFindWrap::Continue)) {
        std::fprintf(stderr, "the last ticket, %d, is not in the document\n", lastTicket);
        return false;
    }
    std::printf("floor (our layer's open + save): open %.2f s + save %.2f s = %.2f s\n",
                openSeconds, floorSeconds - openSeconds, floorSeconds);
    std::printf("run / floor = %.2f\n", runSeconds / floorSeconds);
    reopened->Close(word::WdSaveOptions::DoNotSaveChanges);
    floorApp->quit();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int pages = argc > 1 ? std::max(2, std::atoi(argv[1])) : 2000;
    QTemporaryDir dir;
    const QString templatePath = dir.filePath(QStringLiteral("template.dot"));
    QFile file(templatePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(ticketTemplateBytes()) <= 0) {
        std::fprintf(stderr, "cannot write the template\n");
        return 1;
    }
    file.close();
    const QString resultPath = dir.filePath(QStringLiteral("result.doc"));
    try {
        const double runSeconds = bothWays(templatePath, resultPath, pages);
        std::printf("run inside the office (open template to saved document): %.1f s (%.1f MB)\n",
                    runSeconds, static_cast<double>(QFileInfo(resultPath).size()) / 1e6);
        if (!printFloor(resultPath, dir.filePath(QStringLiteral("again.doc")), pages, runSeconds)) {
            return 1;
        }
    } catch (const word::Error& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        word::terminateAllInstances();
        return 1;
    }
    return 0;
}
