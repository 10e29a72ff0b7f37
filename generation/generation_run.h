#pragma once

#include "book_choices.h"
#include "error_trap.h"
#include "first_page.h"
#include "page_batch.h"
#include "page_progress.h"
#include "replace_passes.h"
#include "run_labels.h"
#include "run_result.h"
#include "ticket_numbering.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class RunHost;

namespace word {
class Application;
class Document;
} // namespace word

// "Start Creating Template": fills the embedded ticket template with the raffle's wording,
// repeats the page until the ticket count is reached (renumbering each new page), saves the
// document under a fresh name in the temp folder, has a picture of it made, and hands both to
// the preview. One object per run; each phase is a method that reports under its own labels
// (run_labels.h). Every step runs under the one trap of the run; no failure ends a run early.
class GenerationRun
{
public:
    static void PushButton6_Click(RunHost& host);

    ~GenerationRun();

private:
    explicit GenerationRun(RunHost& host);

    // The phases, in the order a run takes them.
    bool begin(); // false while another run is going on
    void openTemplate();
    void fillWording();
    void replicatePages();
    void saveAndCheck();
    void makePicture();
    void handOver();

    void markNumbers(int label);
    void restoreFirstPageNumbers();
    void pastePage();
    void renumberPage(int page);
    void removeWorkingFiles();

    // The office objects; a step that needs one the run could not have fails, and the trap
    // reports it, as every later office step does once the office is gone.
    RunResult result() const;
    const TicketBook& book() const;
    word::Application& application() const;
    word::Document& document() const;

    RunHost& mHost;
    ErrorTrap mTrap;
    QByteArray mTemplateBytes;
    QString mTemplatePath;
    bool mTemplateWasThere = false;
    std::unique_ptr<word::Application> mApp;
    std::shared_ptr<word::Document> mDocument;
    PageBatch mBatch;
    ReplacePasses mPasses;
    PageProgress mProgress;
    BookChoices mChoices;
    int mPages = 1;
    std::optional<TicketBook> mBook;
    TicketNumbering mNumbering = TicketNumbering::forTemplate(1);
    QStringList mPlacedWording; // as typed, for the check of numbers found by text
    QString mResultPath;
    bool mHandedOver = false;
    FirstPage mFirstPage;
    QImage mPicture;
};
