#include "timed_office.h"

#include "office_figures.h"
#include "timeline.h"

#include <algorithm>

namespace {

class TimedRange : public word::Range
{
public:
    explicit TimedRange(std::unique_ptr<word::Range> inner) : mInner(std::move(inner)) {}
    QImage CopyAsPicture() override
    {
        QImage picture = mInner->CopyAsPicture();
        if (Timeline::current().picture.isNull()) {
            Timeline::current().picture = picture;
        }
        return picture;
    }
    QStringList paragraphTexts(const QString& style) override
    {
        Timeline::current().mark(QStringLiteral("text"));
        QStringList texts = mInner->paragraphTexts(style);
        Timeline::current().mark(QStringLiteral("text done"));
        return texts;
    }
    int paragraphCount(const QString& style) override
    {
        Timeline::current().mark(QStringLiteral("text"));
        const int count = mInner->paragraphCount(style);
        Timeline::current().mark(QStringLiteral("text done"));
        return count;
    }
    QString Text() override
    {
        Timeline::current().mark(QStringLiteral("text"));
        QString text = mInner->Text();
        Timeline::current().mark(QStringLiteral("text done"));
        return text;
    }

private:
    std::unique_ptr<word::Range> mInner;
};

class TimedDocument : public word::Document
{
public:
    explicit TimedDocument(std::shared_ptr<word::Document> inner) : mInner(std::move(inner)) {}
    void SaveAs(const QString& path) override
    {
        Timeline::current().mark(QStringLiteral("save"));
        mInner->SaveAs(path);
        Timeline::current().mark(QStringLiteral("saved"));
    }
    void ExportAsFixedFormat(const QString& path, word::WdExportFormat format,
                             const word::FixedFormatOptions& options) override
    {
        mInner->ExportAsFixedFormat(path, format, options);
    }
    void Close() override
    {
        Timeline::current().mark(QStringLiteral("close"));
        mInner->Close();
        Timeline::current().mark(QStringLiteral("closed"));
    }
    void Close(word::WdSaveOptions o) override { mInner->Close(o); }
    void FitTextToLines(const word::KeptClear& keptClear) override
    {
        mInner->FitTextToLines(keptClear);
    }
    void FillPictureBoxes(const QString& boxName, const QByteArray& picture) override
    {
        mInner->FillPictureBoxes(boxName, picture);
    }
    bool HasFields() override { return mInner->HasFields(); }
    void ExpectPages(int pages) override { mInner->ExpectPages(pages); }
    std::unique_ptr<word::Range> range() override
    {
        return std::make_unique<TimedRange>(mInner->range());
    }

private:
    std::shared_ptr<word::Document> mInner;
};

class TimedSelection : public word::Selection
{
public:
    word::Selection* inner = nullptr;
    word::Find& find() override { return inner->find(); }
    void WholeStory() override
    {
        Timeline::current().mark(QStringLiteral("copy"));
        inner->WholeStory();
    }
    void Copy() override { inner->Copy(); }
    void EndKey(word::WdUnits u) override { inner->EndKey(u); }
    void Paste() override { inner->Paste(); }
    void TypeBackspace() override { inner->TypeBackspace(); }
    void GoTo(word::WdGoToItem w, word::WdGoToDirection d, int c) override { inner->GoTo(w, d, c); }
    void BeginBatch() override { inner->BeginBatch(); }
    // The run gathers each added page's steps in one batch: a page is done when its batch is.
    std::vector<word::BatchFailure> EndBatch(const std::function<void()>& meanwhile) override
    {
        auto failures = inner->EndBatch(meanwhile);
        Timeline::current().pastes.push_back(Timeline::now());
        return failures;
    }
};

class TimedApplication : public word::Application, public word::Documents
{
public:
    explicit TimedApplication(std::unique_ptr<word::Application> inner) : mInner(std::move(inner))
    {
        mSelection.inner = &mInner->selection();
    }
    void quit() override
    {
        Timeline::current().peakKiB =
            std::max(Timeline::current().peakKiB, office_figures::officePeakKiB());
        for (const auto& [pid, seconds] : office_figures::officeCpuSeconds()) {
            Timeline::current().officeCpu[pid] = seconds;
        }
        Timeline::current().mark(QStringLiteral("quitting"));
        mInner->quit();
        Timeline::current().mark(QStringLiteral("quit"));
    }
    void setDisplayAlerts(bool on) override { mInner->setDisplayAlerts(on); }
    void setProgress(word::ProgressHandler handler) override
    {
        mInner->setProgress(std::move(handler));
    }
    word::Documents& documents() override { return *this; }
    word::Selection& selection() override
    {
        mSelection.inner = &mInner->selection();
        return mSelection;
    }
    std::shared_ptr<word::Document> activeDocument() override
    {
        return std::make_shared<TimedDocument>(mInner->activeDocument());
    }
    std::shared_ptr<word::Document> Open(const QString& path, bool readOnly, bool visible) override
    {
        auto document =
            std::make_shared<TimedDocument>(mInner->documents().Open(path, readOnly, visible));
        Timeline::current().mark(QStringLiteral("opened"));
        return document;
    }

private:
    std::unique_ptr<word::Application> mInner;
    TimedSelection mSelection;
};

} // namespace

std::unique_ptr<word::Application> timedApplication(std::unique_ptr<word::Application> inner)
{
    return std::make_unique<TimedApplication>(std::move(inner));
}
