#include "generation_run.h"

#include "app_error.h"
#include "app_identity.h"
#include "book_choices.h"
#include "file_helpers.h"
#include "number_text.h"
#include "office_steps.h"
#include "replace_passes.h"
#include "result_naming.h"
#include "run_host.h"
#include "run_offices.h"
#include "temp_folder.h"
#include "ticket_book.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "word_automation.h"
#include "working_files.h"

#include <QScopeGuard>

#include <exception>
#include <utility>
#include <vector>

namespace {

namespace label = run_labels;
using word::WdFindWrap;

// The template's sample wording, replaced by fields 1 to 6 in turn.
const char* const kPlaceholders[] = {"[NAME OF RAFFLE EVENT]",
                                     "DRAWING WILL BE HELD AT THE END OF THE NIGHT",
                                     "$500",
                                     "$250",
                                     "$100",
                                     "DO NOT HAVE TO BE PRESENT TO WIN"};

// The template's name in the temp folder: each paper has its own, so that copies of the program
// sharing the folder never open one another's.
QString templateFileName(Paper paper)
{
    return paper == Paper::A4 ? QStringLiteral("template-a4.dot") : QStringLiteral("template.dot");
}

// The replacement of pass 7: the donation suffix, or nothing without a donation.
QString donationReplacement(const QString& donation)
{
    return donation.isEmpty() ? QString() : QStringLiteral(" / DONATION - ") + donation;
}

} // namespace

// Called once the offices are gone, so none still writes these.
void GenerationRun::removeWorkingFiles()
{
    mFirstPage.remove();
    if (!mTemplateWasThere && !mTemplatePath.isEmpty()) {
        DeleteFileQuietly(mTemplatePath);
        working_files::forget(mTemplatePath);
    }
    if (!mHandedOver && !mResultPath.isEmpty()) {
        DeleteFileQuietly(mResultPath);
        working_files::forget(mResultPath);
    }
}

GenerationRun::GenerationRun(RunHost& host)
    : mHost(host),
      mTrap(identity::location(QStringLiteral("Form1"), QStringLiteral("PushButton6_Click"))),
      mBatch(mTrap, [this]() -> word::Selection& { return application().selection(); }),
      mPasses(mTrap, mBatch, [this]() -> word::Selection& { return application().selection(); }),
      mProgress(host, mTrap)
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
    const RunOffices::RunInProgress inProgress([&run] { run.removeWorkingFiles(); });
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
        mChoices = mHost.bookChoices();
        mTemplateBytes = mHost.templateBytes(mChoices.paper);
        if (mTemplateBytes.isEmpty()) {
            throw AppError(QStringLiteral("The ticket template is missing from the program."));
        }
    });
    mTrap.step(label::kWriteTemplate, [&] {
        const QString path = temp_folder::file(templateFileName(mChoices.paper));
        mTemplateWasThere = FileExists(path);
        if (!mTemplateWasThere) {
            WriteFileIfMissing(mTemplateBytes, path);
            working_files::add(path);
        }
    });
    mTrap.step(label::kStartOffice, [&] {
        // Offices not yet made ready stay as they are: the run needs the processors now.
        word::warmInstancesWith({});
        mApp = mHost.takeOffice().take();
        if (!mApp) {
            mApp = word::Application::create();
        }
        // The picture's office starts now, alongside the run, unless one is waiting already.
        if (mHost.wantsPicture()) {
            word::startInstancesEarly(1);
        }
    });
    mTrap.step(label::kTemplatePath,
               [&] { mTemplatePath = temp_folder::file(templateFileName(mChoices.paper)); });
    mTrap.step(label::kOpenTemplate, [&] {
        // Another copy of the program sharing the folder may have finished and removed the
        // template since it was written; it is put back rather than the run failing.
        if (!FileExists(mTemplatePath)) {
            WriteFileReplacing(mTemplateBytes, mTemplatePath);
            working_files::add(mTemplatePath);
        }
        // A template someone else put there is never opened.
        RequireOwnRegularFile(mTemplatePath);
        mDocument = application().documents().Open(mTemplatePath, true);
        // A template of the person's own may number its tickets in plain paragraphs.
        mNumbering = TicketNumbering::forTemplate(
            document().range()->paragraphCount(ticket_numbers::kStyle));
    });
    if (mNumbering.byText()) {
        markNumbers(label::kOpenTemplate);
    }
}

// The page's numbers become stand-ins while the document is that one page: numbers found by
// text before any wording is placed, numbers in their own style once it is (labelled as the
// step that follows).
void GenerationRun::markNumbers(int label)
{
    // From the insertion point, still at the start: text placed by a replace-all over the whole
    // document is never found again, and the stand-ins must be.
    mPasses.eachPosition(
        label::unlabelledPass(label), WdFindWrap::Stop, mNumbering.style(),
        [](int j) { return ticket_numbers::format(j); },
        [](int j) { return TicketNumbering::standIn(j); });
}

// The first page, copied with its stand-ins, takes its own numbers.
void GenerationRun::restoreFirstPageNumbers()
{
    mPasses.eachPosition(
        label::unlabelledPass(label::kCopyPage), WdFindWrap::Continue, mNumbering.style(),
        [](int j) { return TicketNumbering::standIn(j); },
        [this](int j) { return ticket_numbers::format(book().numberAt(1, j)); });
}

// Seven replace-all passes put the fields in place of the sample wording.
void GenerationRun::fillWording()
{
    for (int pass = 1; pass <= 6; ++pass) {
        const label::ReplacePass labels = label::wordingPass(pass);
        mPasses.prepare(labels, QString::fromLatin1(kPlaceholders[pass - 1]));
        mTrap.step(labels.replacementText, [&] {
            mPlacedWording << mHost.fieldText(pass);
            mPasses.setReplacementText(mPlacedWording.last());
        });
        mPasses.finish(labels, WdFindWrap::Continue);
    }
    // Pass 7 works on the suffix that pass 6 leaves behind the presence text.
    mPasses.prepare(label::kDonationPass, QStringLiteral(" / DONATION - $10"));
    QString donation;
    mTrap.step(label::kDonationTest, [&] { donation = mHost.fieldText(7); });
    if (donation.isEmpty()) {
        mTrap.step(label::kNoDonation, [&] { mPasses.setReplacementText(QString()); });
    } else {
        mTrap.step(label::kDonation, [&] {
            mPlacedWording << donationReplacement(donation);
            mPasses.setReplacementText(mPlacedWording.last());
        });
    }
    mPasses.finish(label::kDonationPass, WdFindWrap::Continue);
    // The picture takes its box on every ticket, and the lines beside it keep clear of it.
    const QByteArray picture = mHost.ticketPicture();
    word::KeptClear besidePicture;
    if (!picture.isEmpty()) {
        mTrap.step(label::kDonationPass.execute, [&] {
            document().FillPictureBoxes(ticket_template::kPictureBox, picture);
            besidePicture = {ticket_template::besidePicture(), ticket_template::kPictureClear};
        });
    }
    // Long wording shrinks to keep every line, so no ticket grows into the next and the page
    // keeps to one page; a statement without a label of its own reports the one before it.
    mTrap.step(label::kDonationPass.execute, [&] { document().FitTextToLines(besidePicture); });
}

// The filled page, copied once, pasted for every further page, each new page renumbered.
void GenerationRun::replicatePages()
{
    // A count that is not a number is reported here and gives one page.
    mTrap.step(label::kTicketCount, [&] { mPages = pagesFor(mHost.fieldText(8)); });
    // The window refuses a first number out of range; one that reaches the run anyway is
    // reported, and the tickets are numbered from 1.
    mTrap.step(label::kTicketCount, [&] {
        const FirstNumberCheck first =
            checkFirstNumber(mChoices.firstNumber, mPages * ticket_numbers::kTicketsPerPage);
        mBook = TicketBook(first.outcome == FirstNumberCheck::Outcome::Accepted ? first.number : 1,
                           mPages * ticket_numbers::kTicketsPerPage, mChoices.order);
        if (first.outcome != FirstNumberCheck::Outcome::Accepted) {
            throw AppError(first.message);
        }
    });
    if (!mNumbering.byText()) {
        markNumbers(label::kSelectAll);
    }
    if (mPages <= 1) {
        restoreFirstPageNumbers();
        return;
    }
    mTrap.step(label::kSelectAll, [&] { application().selection().WholeStory(); });
    mTrap.step(label::kCopyPage, [&] { application().selection().Copy(); });
    restoreFirstPageNumbers();
    if (mHost.wantsPicture()) {
        mTrap.step(label::kCopyPage, [&] { mFirstPage.save(document()); });
    }
    // A hint, never a step: it reports nothing and throws nothing, and a run whose template did
    // not open has no document to tell.
    if (mDocument) {
        mDocument->ExpectPages(mPages);
    }
    // While the office adds a page, the next page's events and progress run here.
    mProgress.show(2, mPages);
    for (int page = 2; page <= mPages; ++page) {
        pastePage();
        renumberPage(page);
        mBatch.end([&] {
            if (page < mPages) {
                mProgress.show(page + 1, mPages);
            }
        });
    }
    mProgress.reset();
}

// The copied page pasted at the end, with the insertion point left at its start.
void GenerationRun::pastePage()
{
    mBatch.begin(label::kEndBeforePaste);
    for (const OfficeSteps::SelectionStep& step : OfficeSteps::pastePage()) {
        mBatch.step(step.label, [&] { step.apply(application().selection()); });
    }
}

// From the start of the last page to the end: that page's five numbers, each twice.
void GenerationRun::renumberPage(int page)
{
    // Only the page's ticket numbers, never wording that happens to hold the digits.
    mPasses.eachPosition(
        label::kNumberingPass, WdFindWrap::Stop, mNumbering.style(),
        [](int j) { return TicketNumbering::standIn(j); },
        [this, page](int j) { return ticket_numbers::format(book().numberAt(page, j)); });
}

// Saved under a free name, checked, and the office and the template gone.
void GenerationRun::saveAndCheck()
{
    mResultPath = ResultNaming::choose(mTrap);
    working_files::add(mResultPath);
    mTrap.step(label::kSaveAndCheck, [&] {
        // The saved document must hold every ticket it was meant to; if not, it is still
        // handed over, so nothing is lost, but the user is told. It is read just before the
        // save, while the pages are laid out as they were added; nothing changes it in between,
        // and a failed read stops no save.
        QString problem;
        std::exception_ptr readFailure;
        try {
            problem = mNumbering.problem(*document().range(), book(), mPlacedWording);
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
    mTrap.step(label::kDeleteTemplate, [&] {
        DeleteFileQuietly(mTemplatePath);
        working_files::forget(mTemplatePath);
    });
}

void GenerationRun::makePicture()
{
    if (!mHost.wantsPicture()) {
        return;
    }
    mTrap.step(label::kMakePicture, [&] { mPicture = mFirstPage.picture(mResultPath); });
    mFirstPage.remove();
}

// The preview takes the picture and the document, and the main window's place.
void GenerationRun::handOver()
{
    mTrap.step(label::kHourglassOff, [&] { mHost.setHourglass(false); });
    mTrap.step(label::kLoadPreview, [&] { mHost.loadPreview(); });
    if (mHost.wantsPicture()) {
        mTrap.step(label::kPreviewPicture, [&] {
            // Without a picture the preview is emptied, never left showing the last run's page
            // beside this run's document.
            mHost.setPreviewPicture(mPicture);
            if (mPicture.isNull()) {
                throw AppError(
                    QStringLiteral("The preview has no picture of the ticket document."));
            }
        });
    }
    mTrap.step(label::kPreviewDocument, [&] {
        mHost.setPreviewResult(result());
        mHandedOver = true; // still listed: the preview removes it, or an ending does
    });
    mTrap.step(label::kShowPreview, [&] {
        mHost.showPreview();
        mHost.hideMain();
    });
    mTrap.step(label::kClearBusy, [&] { mHost.setBusy(false); });
}

RunResult GenerationRun::result() const
{
    RunResult made;
    if (mBook) {
        made.book = *mBook;
    }
    made.eventName = mPlacedWording.value(0);
    made.paper = mChoices.paper;
    made.wordFile = mResultPath;
    made.picture = mPicture;
    return made;
}

const TicketBook& GenerationRun::book() const
{
    if (!mBook) {
        throw AppError(QStringLiteral("The ticket numbers of this run are not known."));
    }
    return *mBook;
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
