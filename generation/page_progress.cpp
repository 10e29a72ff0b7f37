#include "page_progress.h"

#include "app_error.h"
#include "error_trap.h"
#include "number_text.h"
#include "run_host.h"
#include "run_labels.h"
#include "ticket_book.h"
#include "ticket_number_check.h"

#include <optional>

void PageProgress::show(int page, int runPages)
{
    namespace label = run_labels;
    mTrap.step(label::kLetEventsRun, [&] { mHost.processEvents(); });
    mTrap.step(label::kProgressValue, [&] {
        int scale = runPages;
        try {
            scale = pagesFor(mHost.fieldText(8));
        } catch (const AppError&) {
        }
        if (scale == 1) {
            scale = runPages;
        }
        mHost.setProgressValue(static_cast<int>(roundHalfEven(100.0 * page / scale)));
    });
    mTrap.step(label::kProgressText, [&] {
        mHost.setProgressText(
            QStringLiteral("Please let this software running with touching the keyboard."));
    });
}

void PageProgress::reset()
{
    mTrap.step(run_labels::kProgressTextReset,
               [&] { mHost.setProgressText(QStringLiteral("Progress Bar")); });
    mTrap.step(run_labels::kProgressValueReset, [&] { mHost.setProgressValue(0); });
}
