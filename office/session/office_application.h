#pragma once

#include "call_worker.h"
#include "command_find.h"
#include "command_front.h"
#include "command_selection.h"
#include "document_editor.h"
#include "editing_choice.h"
#include "office_bridge.h"
#include "office_document.h"
#include "office_process.h"
#include "word_automation.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>
#include <memory>
#include <vector>

namespace word {

// One running office, reached over its pipe. Every call of the layer's objects reaches the office
// through watched(), the one place that times calls and explains failures.
class OfficeApplication final : public Application, private Documents, private CommandFront
{
public:
    // Starts the office and connects; throws word::Error after a bounded wait.
    // On the given office, started ahead of need, or on one started now.
    explicit OfficeApplication(std::unique_ptr<OfficeProcess> started = {});
    ~OfficeApplication() override;

    void quit() override;
    void setDisplayAlerts(bool on) override { mDisplayAlerts = on; }
    void setProgress(ProgressHandler handler) override { mProgress = std::move(handler); }
    const ProgressHandler& progress() const { return mProgress; }
    // The office's own context, for services made inside it.
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& context() const
    {
        return mRemote;
    }
    Documents& documents() override { return *this; }
    Selection& selection() override { return mSelection; }
    std::shared_ptr<Document> activeDocument() override;

    std::shared_ptr<OfficeDocument> activeOfficeDocument();
    // Drops a closed document.
    void forget(OfficeDocument* document);
    // A folder of this instance for scratch files, removed when the office ends.
    QString scratchFolder() const;
    // Whether its office still runs and answers; on the thread the office was started on.
    bool usable();

    // Gives a document opened invisible a hidden window, which the office's exports need.
    void
    attachHiddenWindow(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model);
    // An office that exports part of another's document: it never reads ahead for an export of
    // its own.
    void becomeSecondOffice() { mSecondOffice = true; }
    // Removes what a save to path that failed half-way left beside it.
    void removeSaveLeftovers(const QString& path) const;

    // Runs one call to the office under the watchdog. A call to an office that was stopped for
    // not answering, or that ended by itself, fails with a description that says so.
    template <typename Body> auto watched(Body&& body)
    {
        requireAnswering();
        const Watchdog::Call call(mProcess->watchdog());
        try {
            return body();
        } catch (...) {
            explainFailure();
        }
    }

private:
    std::shared_ptr<Document> Open(const QString& path, bool readOnly, bool visible) override;
    // The editing steps, run by the active document's editor.
    int runOne(const EditCommand& command) override;
    std::vector<EditOutcome> runBatch(const std::vector<EditCommand>& commands,
                                      const std::function<void()>& meanwhile) override;
    void requireAnswering();
    // Call inside a catch block: rethrows the failure, or one that says the office hung or died.
    [[noreturn]] void explainFailure();
    QString notAnswering() const;
    void connect();
    void connectWithin(int timeoutMs);
    void chooseEditing();
    void disconnect();
    void endProcess();
    void requireRunning() const;

    bool mSecondOffice = false;
    // Shared with its end, which may come after this instance is gone.
    std::shared_ptr<OfficeProcess> mProcess;
    OfficeBridge mBridge;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> mDesktop;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> mRemote;
    // Last is the active one.
    std::vector<std::shared_ptr<OfficeDocument>> mOpen;
    CommandFind mFind{*this};
    CommandSelection mSelection{*this, mFind};
    // What Copy took, for documents edited over the pipe.
    std::shared_ptr<CopiedText> mCopied = std::make_shared<CopiedText>();
    EditingChoice mEditing;
    bool mDisplayAlerts = true;
    ProgressHandler mProgress;
    // Runs a batch while the caller does its work meanwhile. Declared last, so that it ends
    // first, before anything its calls use.
    CallWorker mWorker;
};

} // namespace word
