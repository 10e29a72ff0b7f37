#include "generation_run.h"

#include "app_error.h"
#include "app_identity.h"
#include "file_helpers.h"
#include "number_text.h"
#include "picture_in_advance.h"
#include "result_claims.h"
#include "run_host.h"
#include "save_doc_as_jpg.h"
#include "seams.h"
#include "temp_folder.h"
#include "ticket_number_check.h"
#include "word_automation.h"

#include <QScopeGuard>
#include <QScopedValueRollback>

#include <exception>
#include <utility>
#include <vector>

namespace {

namespace label = run_labels;
using word::WdFindWrap;

// The run between its first and last step, whose files an early end removes.
GenerationRun*& runInProgress()
{
    static GenerationRun* run = nullptr;
    return run;
}

std::function<QByteArray()>& templateSource()
{
    static std::function<QByteArray()> source;
    return source;
}

// The template's sample wording, replaced by fields 1 to 6 in turn.
const char* const kPlaceholders[] = {"[NAME OF RAFFLE EVENT]",
                                     "DRAWING WILL BE HELD AT THE END OF THE NIGHT",
                                     "$500",
                                     "$250",
                                     "$100",
                                     "DO NOT HAVE TO BE PRESENT TO WIN"};

// The replacement of pass 7: the donation suffix, or nothing without a donation.
QString donationReplacement(const QString& donation)
{
    return donation.isEmpty() ? QString() : QStringLiteral(" / DONATION - ") + donation;
}

// "zanfel" and eight digits 1..9 drawn from the random source.
QString drawResultName()
{
    QString name = QStringLiteral("zanfel");
    for (int k = 0; k < 8; ++k) {
        name += QString::number(static_cast<int>(Seams::current().random() * 9) + 1);
    }
    return name;
}

// While the wording is placed and the page copied, a template without the ticket-number style
// holds this in place of ticket number j (1 to 5): private-use characters, which no wording
// holds, four wide like the number. So renumbering by text finds the numbers and never wording,
// on the copies too, where placed wording is plain text again.
QString numberStandIn(int j)
{
    return QString(4, QChar(0xE000 + j));
}

// Pages for a ticket count, as whole-number division does it; 0 when there is no count.
int pagesFor(const QString& countText)
{
    const std::optional<double> count =
        parseNumber(RoundUpToMultiple(countText, ticket_numbers::kTicketsPerPage));
    return count ? wholeDivide(*count, ticket_numbers::kTicketsPerPage) : 0;
}

} // namespace

void GenerationRun::endAllOffices()
{
    word::terminateAllInstances();
    if (runInProgress() != nullptr) {
        runInProgress()->removeWorkingFiles();
    }
    result_claims::release();
}

// Called once the offices are gone, so none still writes these.
void GenerationRun::removeWorkingFiles()
{
    mFirstPageFolder.reset();
    if (!mTemplateWasThere && !mTemplatePath.isEmpty()) {
        DeleteFileQuietly(mTemplatePath);
    }
    if (!mHandedOver && !mResultPath.isEmpty()) {
        DeleteFileQuietly(mResultPath);
    }
}

void GenerationRun::startOfficesEarly()
{
    word::startInstancesEarly(2);
}

void GenerationRun::setTemplateSource(std::function<QByteArray()> source)
{
    templateSource() = std::move(source);
}

// A step that reaches the office runs at once, or in a page's batch only once the batch runs:
// until then its label is kept. A step that failed here never reached the office.
template <typename Body> void GenerationRun::officeStep(int label, Body&& body)
{
    if (mTrap.step(label, std::forward<Body>(body)) && mBatch) {
        mBatchLabels.push_back(label);
    }
}

GenerationRun::GenerationRun(RunHost& host)
    : mHost(host),
      mTrap(identity::location(QStringLiteral("Form1"), QStringLiteral("PushButton6_Click")))
{
    // A page loop repeats its steps; a failure that recurs on every page is reported once.
    mTrap.reportEachLabelOnce();
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::PushButton6_Click(RunHost& host)
{
    GenerationRun run(host);
    if (!run.begin()) {
        return;
    }
    const QScopedValueRollback<GenerationRun*> inProgress(runInProgress(), &run);
    run.openTemplate();
    run.fillWording();
    run.replicatePages();
    run.saveAndCheck();
    run.makePicture();
    run.handOver();
}

bool GenerationRun::begin()
{
    bool busy = false;
    mTrap.step(label::kBusyTest, [&] { busy = mHost.busy(); });
    if (busy) {
        return false;
    }
    mTrap.step(label::kSetBusy, [&] { mHost.setBusy(true); });
    mTrap.step(label::kHourglassOn, [&] { mHost.setHourglass(true); });
    return true;
}

// The embedded template in the temp folder, opened read-only by a new office.
void GenerationRun::openTemplate()
{
    mTrap.step(label::kLoadTemplate, [&] {
        mTemplateBytes = templateSource() ? templateSource()() : QByteArray();
        if (mTemplateBytes.isEmpty()) {
            throw AppError(QStringLiteral("The ticket template is missing from the program."));
        }
    });
    mTrap.step(label::kWriteTemplate, [&] {
        const QString path = temp_folder::file(QStringLiteral("template.dot"));
        mTemplateWasThere = FileExists(path);
        if (!mTemplateWasThere) {
            WriteFileIfMissing(mTemplateBytes, path);
        }
    });
    mTrap.step(label::kStartOffice, [&] {
        mApp = word::Application::create();
        // The picture's office starts now, alongside the run, unless one is waiting already.
        word::startInstancesEarly(1);
    });
    mTrap.step(label::kTemplatePath,
               [&] { mTemplatePath = temp_folder::file(QStringLiteral("template.dot")); });
    mTrap.step(label::kOpenTemplate, [&] {
        // Another copy of the program sharing the folder may have finished and removed the
        // template since it was written; it is put back rather than the run failing.
        if (!FileExists(mTemplatePath)) {
            WriteFileReplacing(mTemplateBytes, mTemplatePath);
        }
        // A template someone else put there is never opened.
        RequireOwnRegularFile(mTemplatePath);
        mDocument = application().documents().Open(mTemplatePath, true);
        // A template of the person's own may number its tickets in plain paragraphs.
        mNumbersByText = document().range()->paragraphCount(ticket_numbers::kStyle) == 0;
    });
    if (mNumbersByText) {
        markNumbers();
    }
}

// From the start of the document, before any wording is placed: the numbers become stand-ins.
void GenerationRun::markNumbers()
{
    const label::ReplacePass labels = label::unlabelledPass(label::kOpenTemplate);
    for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
        prepareReplace(labels, ticket_numbers::format(j));
        mTrap.step(labels.replacementText, [&] { setReplacementText(numberStandIn(j)); });
        finishReplace(labels, WdFindWrap::Stop);
    }
}

// The first page, copied with its stand-ins, shows its own numbers again.
void GenerationRun::restoreFirstPageNumbers()
{
    if (!mNumbersByText) {
        return;
    }
    const label::ReplacePass labels = label::unlabelledPass(label::kCopyPage);
    for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
        prepareReplace(labels, numberStandIn(j));
        mTrap.step(labels.replacementText, [&] { setReplacementText(ticket_numbers::format(j)); });
        finishReplace(labels, WdFindWrap::Continue);
    }
}

// Seven replace-all passes put the fields in place of the sample wording.
void GenerationRun::fillWording()
{
    for (int pass = 1; pass <= 6; ++pass) {
        const label::ReplacePass labels = label::wordingPass(pass);
        prepareReplace(labels, QString::fromLatin1(kPlaceholders[pass - 1]));
        mTrap.step(labels.replacementText, [&] {
            mPlacedWording << mHost.fieldText(pass);
            setReplacementText(mPlacedWording.last());
        });
        finishReplace(labels, WdFindWrap::Continue);
    }
    // Pass 7 works on the suffix that pass 6 leaves behind the presence text.
    prepareReplace(label::kDonationPass, QStringLiteral(" / DONATION - $10"));
    QString donation;
    mTrap.step(label::kDonationTest, [&] { donation = mHost.fieldText(7); });
    if (donation.isEmpty()) {
        mTrap.step(label::kNoDonation, [&] { setReplacementText(QString()); });
    } else {
        mTrap.step(label::kDonation, [&] {
            mPlacedWording << donationReplacement(donation);
            setReplacementText(mPlacedWording.last());
        });
    }
    finishReplace(label::kDonationPass, WdFindWrap::Continue);
    // Long wording shrinks to keep every line, so no ticket grows into the next and the page
    // keeps to one page; a statement without a label of its own reports the one before it.
    mTrap.step(label::kDonationPass.execute, [&] { document().FitTextToLines(); });
}

// The filled page, copied once, pasted for every further page, each new page renumbered.
void GenerationRun::replicatePages()
{
    // A count that is not a number is reported here and gives one page.
    mTrap.step(label::kTicketCount, [&] {
        const std::optional<double> count =
            parseNumber(RoundUpToMultiple(mHost.fieldText(8), ticket_numbers::kTicketsPerPage));
        if (!count) {
            throw AppError(QStringLiteral("The ticket count could not be read as a number."));
        }
        if (*count > ticket_numbers::kTicketsPerPage) {
            mPages = wholeDivide(*count, ticket_numbers::kTicketsPerPage);
        }
    });
    if (mPages <= 1) {
        restoreFirstPageNumbers();
        return;
    }
    mTrap.step(label::kSelectAll, [&] { application().selection().WholeStory(); });
    mTrap.step(label::kCopyPage, [&] { application().selection().Copy(); });
    restoreFirstPageNumbers();
    mTrap.step(label::kCopyPage, [&] { saveFirstPage(); });
    // While the office adds a page, the next page's events and progress run here.
    showPageProgress(2);
    for (int page = 2; page <= mPages; ++page) {
        pastePage();
        renumberPage(page);
        endPageBatch([&] {
            if (page < mPages) {
                showPageProgress(page + 1);
            }
        });
    }
    mTrap.step(label::kProgressTextReset,
               [&] { mHost.setProgressText(QStringLiteral("Progress Bar")); });
    mTrap.step(label::kProgressValueReset, [&] { mHost.setProgressValue(0); });
}

// The preview pictures the first page, which the pages added later leave as it is. Saved alone,
// it is read and drawn in a moment, where the whole document would first be read and laid out
// page by page. Without it the picture is made from the whole document, as good if slower, so a
// failure here is no failure of the run. A field (a page count, say) could show otherwise on
// the first page alone, so a document with fields is pictured whole.
void GenerationRun::saveFirstPage()
{
    try {
        if (document().HasFields()) {
            return;
        }
        mFirstPageFolder =
            std::make_unique<QTemporaryDir>(temp_folder::file(QStringLiteral("first-page-XXXXXX")));
        if (!mFirstPageFolder->isValid()) {
            mFirstPageFolder.reset();
            return;
        }
        const QString path = mFirstPageFolder->filePath(QStringLiteral("first-page.doc"));
        document().SaveAs(path);
        mFirstPagePath = path;
        if (PictureInAdvance::enabled()) {
            mPictureInAdvance = std::make_unique<PictureInAdvance>(path);
        }
    } catch (const std::exception&) {
        mFirstPagePath.clear();
    }
}

void GenerationRun::showPageProgress(int page)
{
    mTrap.step(label::kLetEventsRun, [&] { mHost.processEvents(); });
    mTrap.step(label::kProgressValue, [&] {
        // The bar's scale follows the field as it is now; while the field holds no count, the
        // run's own page count stands in.
        int scale = mPages;
        try {
            scale = pagesFor(mHost.fieldText(8));
        } catch (const AppError&) {
        }
        if (scale == 0) {
            scale = mPages;
        }
        mHost.setProgressValue(static_cast<int>(roundHalfEven(100.0 * page / scale)));
    });
    mTrap.step(label::kProgressText, [&] {
        mHost.setProgressText(
            QStringLiteral("Please let this software running with touching the keyboard."));
    });
}

// The copied page pasted at the end, with the insertion point left at its start.
void GenerationRun::pastePage()
{
    beginPageBatch();
    officeStep(label::kEndBeforePaste,
               [&] { application().selection().EndKey(word::WdUnits::Story); });
    officeStep(label::kPaste, [&] { application().selection().Paste(); });
    officeStep(label::kBackspace, [&] { application().selection().TypeBackspace(); });
    officeStep(label::kEndAfterPaste,
               [&] { application().selection().EndKey(word::WdUnits::Story); });
    officeStep(label::kPreviousPage, [&] {
        application().selection().GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
    });
    officeStep(label::kNextPage, [&] {
        application().selection().GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Next, 1);
    });
}

void GenerationRun::beginPageBatch()
{
    mTrap.step(label::kEndBeforePaste, [&] {
        application().selection().BeginBatch();
        mBatch = true;
    });
}

void GenerationRun::endPageBatch(const std::function<void()>& meanwhile)
{
    // EndBatch runs meanwhile whatever becomes of the batch; without it, it runs here.
    bool reachedBatch = false;
    const auto ensureMeanwhile = qScopeGuard([&] {
        if (!reachedBatch && meanwhile) {
            meanwhile();
        }
    });
    if (!mBatch) {
        return;
    }
    mBatch = false;
    const std::vector<int> labels = std::exchange(mBatchLabels, {});
    std::vector<word::BatchFailure> failures;
    // When none of the page's steps could run (the office is gone), the first one reports it.
    mTrap.step(labels.empty() ? label::kEndBeforePaste : labels.front(), [&] {
        word::Selection& selection = application().selection();
        reachedBatch = true;
        failures = selection.EndBatch(meanwhile);
    });
    for (const word::BatchFailure& failure : failures) {
        const auto at = static_cast<std::size_t>(failure.index);
        mTrap.reportAt(at < labels.size() ? labels[at] : label::kEndBeforePaste,
                       std::make_exception_ptr(word::Error(failure.description)));
    }
}

// From the start of the last page to the end: that page's five numbers, each twice.
void GenerationRun::renumberPage(int page)
{
    const label::ReplacePass& labels = label::kNumberingPass;
    for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
        prepareReplace(labels, mNumbersByText ? numberStandIn(j) : ticket_numbers::format(j));
        mTrap.step(labels.replacementText, [&] {
            setReplacementText(
                ticket_numbers::format((page - 1) * ticket_numbers::kTicketsPerPage + j));
        });
        // Only the page's ticket numbers, never wording that happens to hold the digits.
        finishReplace(labels, WdFindWrap::Stop,
                      mNumbersByText ? QString() : ticket_numbers::kStyle);
    }
}

void GenerationRun::prepareReplace(const label::ReplacePass& labels, const QString& search)
{
    mFind = nullptr;
    mTrap.step(labels.clearFind, [&] { application().selection().find().ClearFormatting(); });
    mTrap.step(labels.clearReplacement,
               [&] { application().selection().find().replacement().ClearFormatting(); });
    mTrap.step(labels.takeFind, [&] { mFind = &application().selection().find(); });
    mTrap.step(labels.searchText, [&] { find().setText(search); });
}

void GenerationRun::setReplacementText(const QString& text)
{
    find().replacement().setText(text);
}

// A style limits the search to paragraphs in it.
void GenerationRun::finishReplace(const label::ReplacePass& labels, WdFindWrap wrap,
                                  const QString& style)
{
    mTrap.step(labels.forward, [&] { find().setForward(true); });
    mTrap.step(labels.wrap, [&] { find().setWrap(wrap); });
    mTrap.step(labels.format, [&] {
        find().setFormat(!style.isEmpty());
        if (!style.isEmpty()) {
            find().setStyle(style);
        }
    });
    mTrap.step(labels.matchCase, [&] { find().setMatchCase(false); });
    mTrap.step(labels.matchWholeWord, [&] { find().setMatchWholeWord(false); });
    mTrap.step(labels.matchWildcards, [&] { find().setMatchWildcards(false); });
    mTrap.step(labels.matchSoundsLike, [&] { find().setMatchSoundsLike(false); });
    mTrap.step(labels.matchAllWordForms, [&] { find().setMatchAllWordForms(false); });
    officeStep(labels.execute, [&] { find().Execute(word::WdReplace::All); });
}

// Saved under a free name, checked, and the office and the template gone.
void GenerationRun::saveAndCheck()
{
    chooseResultPath();
    mTrap.step(label::kSaveAndCheck, [&] {
        // The saved document must hold every ticket it was meant to; if not, it is still
        // handed over, so nothing is lost, but the user is told. It is read just before the
        // save, while the pages are laid out as they were added; nothing changes it in between,
        // and a failed read stops no save.
        QString problem;
        std::exception_ptr readFailure;
        try {
            problem = numberingProblem();
        } catch (...) {
            readFailure = std::current_exception();
        }
        // A long save takes seconds: the windows repaint meanwhile, and a second click finds
        // the run busy.
        if (mApp) {
            mApp->setProgress([this](int) { mHost.processEvents(); });
        }
        const auto quiet = qScopeGuard([this] {
            if (mApp) {
                mApp->setProgress({});
            }
        });
        document().SaveAs(mResultPath);
        if (readFailure) {
            std::rethrow_exception(readFailure);
        }
        if (!problem.isEmpty()) {
            throw AppError(problem);
        }
    });
    mTrap.step(label::kDisplayAlerts, [&] { application().setDisplayAlerts(false); });
    mTrap.step(label::kCloseDocument, [&] { document().Close(); });
    mTrap.step(label::kQuitOffice, [&] { application().quit(); });
    mTrap.step(label::kReleaseDocument, [&] { mDocument.reset(); });
    mTrap.step(label::kReleaseOffice, [&] { mApp.reset(); });
    mTrap.step(label::kDeleteTemplate, [&] { DeleteFileQuietly(mTemplatePath); });
}

QString GenerationRun::numberingProblem() const
{
    const auto range = document().range();
    const int count = ticket_numbers::kTicketsPerPage * mPages;
    if (mNumbersByText) {
        return ticket_numbers::verifyText(range->Text(), count, mPlacedWording);
    }
    // Reading the whole text at once is quick; only a document that does not plainly hold every
    // number has its number paragraphs read one by one, to say what is wrong.
    const bool inOrder = ticket_numbers::plainlyInOrder(
        range->Text(), range->paragraphCount(ticket_numbers::kStyle), count);
    return inOrder ? QString()
                   : ticket_numbers::verify(range->paragraphTexts(ticket_numbers::kStyle), count);
}

// A name drawn anew while a file of the drawn name exists; an existing file is never replaced.
void GenerationRun::chooseResultPath()
{
    for (int attempt = 0;; ++attempt) {
        QString name;
        mTrap.step(label::kNameAttempt, [&] {
            if (attempt == 1000) {
                mResultPath.clear();
                throw AppError(QStringLiteral("No free name for the ticket document was found "
                                              "in the temporary folder."));
            }
        });
        if (attempt == 1000) {
            return;
        }
        mTrap.step(label::kDrawName, [&] { name = drawResultName(); });
        mTrap.step(label::kResultPath,
                   [&] { mResultPath = temp_folder::file(name + QStringLiteral(".doc")); });
        bool taken = false;
        mTrap.step(label::kNameTaken, [&] { taken = FileExists(mResultPath); });
        if (!taken) {
            // Before the file is made: a later start removes it should this program be killed.
            result_claims::claim(mResultPath);
            return;
        }
    }
}

void GenerationRun::makePicture()
{
    mTrap.step(label::kMakePicture, [&] {
        mPicture = mFirstPagePath.isEmpty() ? SaveDocAsJPG(mResultPath)
                                            : SaveDocAsJPG(mFirstPagePath, mPictureInAdvance.get());
    });
    mPictureInAdvance.reset();
    mFirstPageFolder.reset();
}

// The preview takes the picture and the document, and the main window's place.
void GenerationRun::handOver()
{
    mTrap.step(label::kHourglassOff, [&] { mHost.setHourglass(false); });
    mTrap.step(label::kLoadPreview, [&] { mHost.loadPreview(); });
    mTrap.step(label::kPreviewPicture, [&] {
        // Without a picture the preview is emptied, never left showing the last run's page
        // beside this run's document.
        mHost.setPreviewPicture(mPicture);
        if (mPicture.isNull()) {
            throw AppError(QStringLiteral("The preview has no picture of the ticket document."));
        }
    });
    mTrap.step(label::kPreviewDocument, [&] {
        mHost.setPreviewWordFile(mResultPath);
        mHandedOver = true;
    });
    mTrap.step(label::kShowPreview, [&] {
        mHost.showPreview();
        mHost.hideMain();
    });
    mTrap.step(label::kClearBusy, [&] { mHost.setBusy(false); });
}

word::Application& GenerationRun::application() const
{
    if (!mApp) {
        throw AppError(QStringLiteral("The office instance is not running."));
    }
    return *mApp;
}

word::Document& GenerationRun::document() const
{
    if (!mDocument) {
        throw AppError(QStringLiteral("No ticket document is open."));
    }
    return *mDocument;
}

word::Find& GenerationRun::find() const
{
    if (mFind == nullptr) {
        throw AppError(QStringLiteral("The office's search is not available."));
    }
    return *mFind;
}
