#include "generation_run.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "number_text.h"
#include "run_host.h"
#include "save_doc_as_jpg.h"
#include "seams.h"
#include "temp_folder.h"
#include "ticket_number_check.h"
#include "word_automation.h"

#include <QImage>
#include <QImageReader>
#include <QLockFile>

#include <memory>

namespace {

using word::WdFindWrap;

// How long a run waits for another copy of the program to finish with the shared picture file.
constexpr int kPictureLockWaitMs = 5 * 60 * 1000;

std::function<QByteArray()>& templateSource()
{
    static std::function<QByteArray()> source;
    return source;
}

// The objects of one run. A step that needs one that could not be had fails, and the trap
// reports it, as every later office step does once the office is gone.
struct Office
{
    std::unique_ptr<word::Application> app;
    std::shared_ptr<word::Document> document;

    word::Application& application() const
    {
        if (!app) {
            throw AppError(QStringLiteral("The office instance is not running."));
        }
        return *app;
    }
    word::Document& activeDocument() const
    {
        if (!document) {
            throw AppError(QStringLiteral("No ticket document is open."));
        }
        return *document;
    }
};

// One find-and-replace pass over the selection. Labels rise by 2 from `label` in the order of
// the statements; setReplacement runs the replacement-text statement(s) from the label it is
// given and returns the next free one.
void replacePass(ErrorTrap& trap, const Office& office, int label, const QString& search,
                 const std::function<int(word::Find*, int)>& setReplacement, WdFindWrap wrap)
{
    word::Find* find = nullptr;
    auto theFind = [&find]() -> word::Find& {
        if (find == nullptr) {
            throw AppError(QStringLiteral("The office's search is not available."));
        }
        return *find;
    };
    trap.step(label, [&] { office.application().selection().find().ClearFormatting(); });
    trap.step(label + 2,
              [&] { office.application().selection().find().replacement().ClearFormatting(); });
    trap.step(label + 4, [&] { find = &office.application().selection().find(); });
    trap.step(label + 6, [&] { theFind().setText(search); });
    label = setReplacement(find, label + 8);
    trap.step(label, [&] { theFind().setForward(true); });
    trap.step(label + 2, [&] { theFind().setWrap(wrap); });
    trap.step(label + 4, [&] { theFind().setFormat(false); });
    trap.step(label + 6, [&] { theFind().setMatchCase(false); });
    trap.step(label + 8, [&] { theFind().setMatchWholeWord(false); });
    trap.step(label + 10, [&] { theFind().setMatchWildcards(false); });
    trap.step(label + 12, [&] { theFind().setMatchSoundsLike(false); });
    trap.step(label + 14, [&] { theFind().setMatchAllWordForms(false); });
    trap.step(label + 16, [&] { theFind().Execute(word::WdReplace::All); });
}

// The usual replacement statement: one label.
std::function<int(word::Find*, int)> replaceWith(ErrorTrap& trap, const QString& text)
{
    return [&trap, text](word::Find* find, int label) {
        trap.step(label, [&] {
            if (find == nullptr) {
                throw AppError(QStringLiteral("The office's search is not available."));
            }
            find->replacement().setText(text);
        });
        return label + 2;
    };
}

// Pages for a ticket count, as whole-number division does it; 0 when there is no count.
int pagesFor(const QString& countText)
{
    const std::optional<double> count = parseNumber(RoundUpToMultiple(countText, 5));
    return count ? wholeDivide(*count, 5) : 0;
}

} // namespace

void GenerationRun::setTemplateSource(std::function<QByteArray()> source)
{
    templateSource() = std::move(source);
}

QString GenerationRun::donationReplacement(const QString& donation)
{
    return donation.isEmpty() ? QString() : QStringLiteral(" / DONATION - ") + donation;
}

QString GenerationRun::drawResultName()
{
    QString name = QStringLiteral("zanfel");
    for (int k = 0; k < 8; ++k) {
        name += QString::number(static_cast<int>(Seams::current().random() * 9) + 1);
    }
    return name;
}

void GenerationRun::PushButton6_Click(RunHost& host)
{
    ErrorTrap trap(
        identity::location(QStringLiteral("Form1"), QStringLiteral("PushButton6_Click")));
    // A page loop repeats its steps; a failure that recurs on every page is reported once.
    trap.reportEachLabelOnce();

    bool busy = false;
    trap.step(100, [&] { busy = host.busy(); });
    if (busy) {
        return;
    }
    trap.step(102, [&] { host.setBusy(true); });
    trap.step(104, [&] { host.setHourglass(true); });

    QByteArray templateBytes;
    trap.step(106, [&] {
        templateBytes = templateSource() ? templateSource()() : QByteArray();
        if (templateBytes.isEmpty()) {
            throw AppError(QStringLiteral("The ticket template is missing from the program."));
        }
    });
    trap.step(108, [&] {
        const QString templatePath = TempFolder::file(QStringLiteral("template.dot"));
        if (!FileExists(templatePath)) {
            WriteFileIfMissing(templateBytes, templatePath);
        }
    });

    Office office;
    trap.step(110, [&] { office.app = word::Application::create(); });
    QString templatePath;
    trap.step(112, [&] { templatePath = TempFolder::file(QStringLiteral("template.dot")); });
    trap.step(114, [&] {
        // Another copy of the program sharing the folder may have finished and removed the
        // template since step 108; it is put back rather than the run failing.
        if (!FileExists(templatePath)) {
            WriteFileReplacing(templateBytes, templatePath);
        }
        // A template someone else put there is never opened.
        RequireOwnRegularFile(templatePath);
        office.document = office.application().documents().Open(templatePath, true);
    });

    const QStringList wording = {host.fieldText(1), host.fieldText(2), host.fieldText(3),
                                 host.fieldText(4), host.fieldText(5), host.fieldText(6)};
    static const char* const kPlaceholders[] = {"[NAME OF RAFFLE EVENT]",
                                                "DRAWING WILL BE HELD AT THE END OF THE NIGHT",
                                                "$500",
                                                "$250",
                                                "$100",
                                                "DO NOT HAVE TO BE PRESENT TO WIN"};
    for (int pass = 0; pass < 6; ++pass) {
        replacePass(trap, office, 116 + 28 * pass, QString::fromLatin1(kPlaceholders[pass]),
                    replaceWith(trap, host.fieldText(pass + 1)), WdFindWrap::Continue);
    }
    QString donation;
    replacePass(
        trap, office, 284, QStringLiteral(" / DONATION - $10"),
        [&](word::Find* find, int label) {
            bool none = true;
            trap.step(label, [&] {
                donation = host.fieldText(7);
                none = donation.isEmpty();
            });
            auto set = [&](const QString& text) {
                if (find == nullptr) {
                    throw AppError(QStringLiteral("The office's search is not available."));
                }
                find->replacement().setText(text);
            };
            if (none) {
                trap.step(label + 2, [&] { set(QString()); });
            } else {
                trap.step(label + 4, [&] { set(donationReplacement(donation)); });
            }
            return label + 6;
        },
        WdFindWrap::Continue);
    // Long wording shrinks to keep every line, so no ticket grows into the next and the page
    // keeps to one page; a statement without a label of its own reports the one before it.
    trap.step(314, [&] { office.activeDocument().FitTextToLines(); });

    // A count that is not a number is reported here and gives one page.
    int pages = 1;
    trap.step(316, [&] {
        const QString count = RoundUpToMultiple(host.fieldText(8), 5);
        if (*parseNumber(count) > 5) {
            pages = wholeDivide(*parseNumber(count), 5);
        }
    });
    if (pages > 1) {
        trap.step(318, [&] { office.application().selection().WholeStory(); });
        trap.step(320, [&] { office.application().selection().Copy(); });
        for (int i = 2; i <= pages; ++i) {
            trap.step(322, [] {});
            trap.step(324, [&] { host.processEvents(); });
            trap.step(326, [&] {
                // The bar's scale follows the field as it is now; while the field holds no
                // count, the run's own page count stands in.
                int scale = pages;
                try {
                    scale = pagesFor(host.fieldText(8));
                } catch (const AppError&) {
                }
                if (scale == 0) {
                    scale = pages;
                }
                host.setProgressValue(static_cast<int>(roundHalfEven(100.0 * i / scale)));
            });
            trap.step(328, [&] {
                host.setProgressText(
                    QStringLiteral("Please let this software running with touching the keyboard."));
            });
            trap.step(330, [&] { office.application().selection().EndKey(word::WdUnits::Story); });
            trap.step(332, [&] { office.application().selection().Paste(); });
            trap.step(334, [&] { office.application().selection().TypeBackspace(); });
            trap.step(336, [&] { office.application().selection().EndKey(word::WdUnits::Story); });
            trap.step(338, [&] {
                office.application().selection().GoTo(word::WdGoToItem::Page,
                                                      word::WdGoToDirection::Previous, 1);
            });
            trap.step(340, [&] {
                office.application().selection().GoTo(word::WdGoToItem::Page,
                                                      word::WdGoToDirection::Next, 1);
            });
            for (int j = 1; j <= 5; ++j) {
                trap.step(342, [] {});
                replacePass(trap, office, 344, TicketNumberCheck::format(j),
                            replaceWith(trap, TicketNumberCheck::format((i - 1) * 5 + j)),
                            WdFindWrap::Stop);
                trap.step(372, [] {});
            }
            trap.step(374, [] {});
        }
        trap.step(376, [&] { host.setProgressText(QStringLiteral("Progress Bar")); });
        trap.step(378, [&] { host.setProgressValue(0); });
    }

    QString resultPath;
    for (int attempt = 0;; ++attempt) {
        QString name;
        trap.step(382, [&] {
            if (attempt == 1000) {
                resultPath.clear();
                throw AppError(QStringLiteral("No free name for the ticket document was found "
                                              "in the temporary folder."));
            }
        });
        if (attempt == 1000) {
            break;
        }
        trap.step(384, [&] { name = drawResultName(); });
        trap.step(394, [&] { resultPath = TempFolder::file(name + QStringLiteral(".doc")); });
        bool taken = false;
        trap.step(396, [&] { taken = FileExists(resultPath); });
        if (!taken) {
            break;
        }
    }

    trap.step(398, [&] {
        office.activeDocument().SaveAs(resultPath);
        // The saved document must hold every ticket it was meant to; if not, it is still
        // handed over, so nothing is lost, but the user is told.
        const QString problem = TicketNumberCheck::verify(
            office.activeDocument().range()->text(), 5 * pages, wording + QStringList{donation});
        if (!problem.isEmpty()) {
            throw AppError(problem);
        }
    });
    trap.step(400, [&] { office.application().setDisplayAlerts(false); });
    trap.step(402, [&] { office.activeDocument().Close(); });
    trap.step(404, [&] { office.application().quit(); });
    trap.step(406, [&] { office.document.reset(); });
    trap.step(408, [&] { office.app.reset(); });
    trap.step(410, [&] { DeleteFileQuietly(templatePath); });

    // "temp.bmp" has one name for every copy of the program that shares the folder: from the
    // export until the picture is loaded and removed, other copies wait their turn, so none
    // shows or removes another's picture. The lock of a copy that died is taken over.
    std::unique_ptr<QLockFile> pictureLock;
    trap.step(412, [&] {
        pictureLock =
            std::make_unique<QLockFile>(TempFolder::file(QStringLiteral("temp.bmp.lock")));
        pictureLock->setStaleLockTime(0);
        pictureLock->tryLock(kPictureLockWaitMs);
        SaveDocAsJPG(resultPath);
    });
    trap.step(414, [&] { host.setHourglass(false); });

    QString picturePath;
    trap.step(416, [&] { host.loadPreview(); });
    trap.step(418, [&] {
        picturePath = TempFolder::file(QStringLiteral("temp.bmp"));
        QImageReader reader(picturePath);
        reader.setDecideFormatFromContent(true);
        const QImage picture = reader.read();
        if (picture.isNull()) {
            throw AppError(QStringLiteral("The picture %1 cannot be loaded: %2")
                               .arg(picturePath, reader.errorString()));
        }
        host.setPreviewPicture(picture);
    });
    trap.step(420, [&] { host.setPreviewWordFile(resultPath); });
    trap.step(422, [&] {
        host.showPreview();
        host.hideMain();
    });
    trap.step(424, [&] {
        DeleteFileQuietly(picturePath);
        pictureLock.reset();
    });
    trap.step(426, [&] { host.setBusy(false); });
}
