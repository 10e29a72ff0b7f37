#pragma once

#include "office_document.h"
#include "office_process.h"
#include "office_selection.h"
#include "word_automation.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>
#include <vector>

namespace word {

class OfficeApplication;

// The layer's objects as callers see them: each call that reaches the office is timed by the
// process's watchdog, and a failure of an office that hung or died says so plainly.
class WatchedFind final : public Find
{
public:
    WatchedFind(OfficeApplication& app, Find& inner) : app_(app), inner_(inner) {}
    // The settings stay in this program; only Execute asks the office.
    void ClearFormatting() override { inner_.ClearFormatting(); }
    Replacement& replacement() override { return inner_.replacement(); }
    void setText(const QString& text) override { inner_.setText(text); }
    void setForward(bool forward) override { inner_.setForward(forward); }
    void setWrap(WdFindWrap wrap) override { inner_.setWrap(wrap); }
    void setFormat(bool format) override { inner_.setFormat(format); }
    void setMatchCase(bool on) override { inner_.setMatchCase(on); }
    void setMatchWholeWord(bool on) override { inner_.setMatchWholeWord(on); }
    void setMatchWildcards(bool on) override { inner_.setMatchWildcards(on); }
    void setMatchSoundsLike(bool on) override { inner_.setMatchSoundsLike(on); }
    void setMatchAllWordForms(bool on) override { inner_.setMatchAllWordForms(on); }
    void setStyle(const QString& style) override { inner_.setStyle(style); }
    bool Execute(WdReplace replace) override;

private:
    OfficeApplication& app_;
    Find& inner_;
};

class WatchedSelection final : public Selection
{
public:
    WatchedSelection(OfficeApplication& app, Selection& inner)
        : app_(app), inner_(inner), find_(app, inner.find())
    {}
    Find& find() override { return find_; }
    void WholeStory() override;
    void Copy() override;
    void EndKey(WdUnits unit) override;
    void Paste() override;
    void TypeBackspace() override;
    void GoTo(WdGoToItem what, WdGoToDirection which, int count) override;

private:
    OfficeApplication& app_;
    Selection& inner_;
    WatchedFind find_;
};

class WatchedDocument final : public Document
{
public:
    WatchedDocument(OfficeApplication& app, std::shared_ptr<OfficeDocument> inner)
        : app_(app), inner_(std::move(inner))
    {}
    void SaveAs(const QString& path) override;
    void Close() override;
    void Close(WdSaveOptions saveChanges) override;
    std::unique_ptr<Range> range() override;
    void FitTextToLines() override;
    OfficeDocument* inner() const { return inner_.get(); }

private:
    OfficeApplication& app_;
    std::shared_ptr<OfficeDocument> inner_;
};

// One running office, reached over its pipe.
class OfficeApplication final : public Application, private Documents
{
public:
    // Starts the office and connects; throws word::Error after a bounded wait.
    OfficeApplication();
    ~OfficeApplication() override;

    void quit() override;
    void setDisplayAlerts(bool on) override { displayAlerts_ = on; }
    Documents& documents() override { return *this; }
    Selection& selection() override { return watchedSelection_; }
    std::shared_ptr<Document> activeDocument() override;

    std::shared_ptr<OfficeDocument> activeOfficeDocument();
    // Drops a closed document; leftInOffice when the office still holds it until it ends.
    void forget(OfficeDocument* document, bool leftInOffice);
    CopiedText& copiedText() { return copied_; }
    // A folder of this instance for scratch files, removed when the office ends.
    QString scratchFolder() const;

    // Removes what a save to path that failed half-way left beside it.
    void removeSaveLeftovers(const QString& path) const;

    // Runs one call to the office under the watchdog. A call to an office that was stopped for
    // not answering, or that ended by itself, fails with a description that says so.
    template <typename Body> auto watched(Body&& body)
    {
        requireAnswering();
        const CallTimer timer(*process_);
        try {
            return body();
        } catch (...) {
            explainFailure();
        }
    }

private:
    struct CallTimer
    {
        explicit CallTimer(OfficeProcess& process) : process(process) { process.callStarted(); }
        ~CallTimer() { process.callEnded(); }
        CallTimer(const CallTimer&) = delete;
        CallTimer& operator=(const CallTimer&) = delete;
        OfficeProcess& process;
    };

    std::shared_ptr<Document> Open(const QString& path, bool readOnly) override;
    void requireAnswering();
    // Call inside a catch block: rethrows the failure, or one that says the office hung or died.
    [[noreturn]] void explainFailure();
    QString notAnswering() const;
    void connect();
    void endProcess(bool gracefully);
    void requireRunning() const;

    std::unique_ptr<OfficeProcess> process_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> bridge_;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop_;
    // Last is the active one; each with the object its caller holds.
    std::vector<std::pair<std::shared_ptr<OfficeDocument>, std::shared_ptr<WatchedDocument>>> open_;
    OfficeSelection selection_;
    WatchedSelection watchedSelection_;
    CopiedText copied_;
    bool displayAlerts_ = true;
    bool documentsLeftInOffice_ = false;
};

} // namespace word
