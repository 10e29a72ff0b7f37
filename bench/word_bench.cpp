// Drives the Word layer the way a generation run does and prints what each stage costs:
//   word_bench [pages]      (default 2000; checkpoints at 100, 500, 1000 and the last page)
// The floor is what the office needs to open and save the finished document by itself; a run
// that costs a small multiple of it spends its time on the document, not on the layer.

#include "replace_pass.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "word_automation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

QString number(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
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
        QElapsedTimer timer;
        timer.start();
        auto app = word::Application::create();
        const double started = seconds(timer);
        std::printf("office started in %.2f s\n", started);

        QElapsedTimer run;
        run.start();
        auto document = app->documents().Open(templatePath, true);
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
            replaceAll(*app, fields[k], fields[k + 1], word::WdFindWrap::Continue);
        }
        document->FitTextToLines();
        word::Selection& selection = app->selection();
        selection.WholeStory();
        selection.Copy();
        std::printf("open template + 7 replace-alls + fit + copy: %.3f s\n", seconds(run));

        std::vector<double> pageMs(pages + 1, 0.0);
        // Where the page time goes: paste, backspace, page jumps, renumbering.
        double stepSeconds[4] = {0, 0, 0, 0};
        QElapsedTimer hundred;
        hundred.start();
        std::printf("%8s %18s %14s\n", "pages", "last 100 pages (s)", "elapsed (s)");
        for (int i = 2; i <= pages; ++i) {
            QElapsedTimer one;
            one.start();
            QElapsedTimer step;
            step.start();
            selection.EndKey(word::WdUnits::Story);
            selection.Paste();
            stepSeconds[0] += seconds(step);
            step.restart();
            selection.TypeBackspace();
            selection.EndKey(word::WdUnits::Story);
            stepSeconds[1] += seconds(step);
            step.restart();
            selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
            selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Next, 1);
            stepSeconds[2] += seconds(step);
            step.restart();
            for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
                replaceAll(*app, number(j), number((i - 1) * ticket_numbers::kTicketsPerPage + j),
                           word::WdFindWrap::Stop, QStringLiteral("Ticket No."));
            }
            stepSeconds[3] += seconds(step);
            pageMs[i] = static_cast<double>(one.nsecsElapsed()) / 1e6;
            if (i % 100 == 0) {
                const double last100 = seconds(hundred);
                hundred.restart();
                if (i == 100 || i == 500 || i % 1000 == 0 || i == pages) {
                    std::printf("%8d %18.2f %14.1f   (paste %.1f, backspace %.1f, jumps %.1f, "
                                "renumbering %.1f)\n",
                                i, last100, seconds(run), stepSeconds[0], stepSeconds[1],
                                stepSeconds[2], stepSeconds[3]);
                    std::fflush(stdout);
                }
            }
        }
        const auto averageMs = [&](int from, int to) {
            double sum = 0;
            int count = 0;
            for (int i = std::max(2, from); i <= std::min(pages, to); ++i, ++count) {
                sum += pageMs[i];
            }
            return count ? sum / count : 0.0;
        };
        const double near100 = averageMs(91, 110);
        const double nearLast = averageMs(pages - 19, pages);
        std::printf("per page: %.1f ms near page 100, %.1f ms at the last 20 pages (ratio %.2f)\n",
                    near100, nearLast, near100 > 0 ? nearLast / near100 : 0.0);

        QElapsedTimer save;
        save.start();
        document->SaveAs(resultPath);
        const double saveSeconds = seconds(save);
        const double runSeconds = seconds(run);
        std::printf("save: %.2f s (%.1f MB)\n", saveSeconds,
                    static_cast<double>(QFileInfo(resultPath).size()) / 1e6);
        std::printf("run (open template to saved document): %.1f s\n", runSeconds);

        QElapsedTimer end;
        end.start();
        app->setDisplayAlerts(false);
        document->Close();
        app->quit();
        std::printf("close + quit: %.2f s\n", seconds(end));

        // The floor: a fresh office opens the finished document and saves it again.
        auto floorApp = word::Application::create();
        QElapsedTimer floor;
        floor.start();
        auto reopened = floorApp->documents().Open(resultPath);
        const double openSeconds = seconds(floor);
        reopened->SaveAs(dir.filePath(QStringLiteral("again.doc")));
        const double floorSeconds = seconds(floor);
        // The last ticket number is in the document: the run really made every page.
        const int lastTicket = pages * ticket_numbers::kTicketsPerPage;
        replaceAll(*floorApp, number(lastTicket), number(lastTicket), word::WdFindWrap::Continue);
        std::printf("floor: open %.2f s + save %.2f s = %.2f s\n", openSeconds,
                    floorSeconds - openSeconds, floorSeconds);
        std::printf("run / floor = %.2f\n", runSeconds / floorSeconds);
        reopened->Close(word::WdSaveOptions::DoNotSaveChanges);
        floorApp->quit();
    } catch (const word::Error& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        word::terminateAllInstances();
        return 1;
    }
    return 0;
}
