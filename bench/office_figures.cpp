#include "office_figures.h"

#include "save_doc_as_pdf.h"
#include "ticket_number_check.h"
#include "timeline.h"
#include "word_automation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace office_figures {

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
        const double start = Timeline::now();
        office.start(QStringLiteral(TICKETWRIGHT_OFFICE_PROGRAM_DIR "/soffice"), args);
        const bool ok = office.waitForFinished(-1) && office.exitStatus() == QProcess::NormalExit &&
                        office.exitCode() == 0;
        seconds = ok ? Timeline::now() - start : -1;
    }
    QDir(out).removeRecursively();
    return seconds;
}

// Our own layer: open the document and save it again.
double layerFloorSeconds(const QString& document, const QString& folder)
{
    auto app = word::defaultApplicationFactory()();
    const double start = Timeline::now();
    auto doc = app->documents().Open(document, true);
    doc->SaveAs(folder + QStringLiteral("/floor.doc"));
    const double seconds = Timeline::now() - start;
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
    const double start = Timeline::now();
    SaveDocAsPDF(document, pdf, QStringLiteral("Bench"), [&](int percent) {
        if (percent >= 100 || sampled.elapsed() > 250) {
            peak = std::max(peak, officePeakKiB());
            sampled.restart();
        }
    });
    const double seconds = Timeline::now() - start;
    std::printf("         pdf size: %.2f MB\n", static_cast<double>(QFileInfo(pdf).size()) / 1e6);
    const QString keep = qEnvironmentVariable("TICKETWRIGHT_BENCH_KEEP");
    if (!keep.isEmpty()) {
        QFile::copy(pdf, QDir(keep).filePath(QFileInfo(document).completeBaseName() + ".pdf"));
    }
    QFile::remove(pdf);
    word::terminateAllInstances();
    return {seconds, peak};
}

// The ticket numbers of a saved document, as a fresh office reads them from the file. A document
// opened to edit ends in an empty paragraph, added in the last one's style if that held text.
QString readBack(const QString& document, const TicketBook& book)
{
    const int count = book.count();
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
    const QString problem = ticket_numbers::verify(numbers, book);
    return problem.isEmpty() ? QStringLiteral("every number from %1 to %2 twice, in order")
                                   .arg(book.first())
                                   .arg(book.last())
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

} // namespace office_figures
