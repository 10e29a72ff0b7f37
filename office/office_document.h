#pragma once

#include "document_model.h"
#include "find_request.h"
#include "layout_stages.h"
#include "office_replace_all.h"
#include "page_index.h"
#include "word_automation.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <memory>
#include <optional>
#include <vector>

namespace word {

class OfficeApplication;

// What Copy took, held by the office's own transfer object rather than the desktop clipboard,
// and what the document model follows of it.
struct CopiedText
{
    com::sun::star::uno::Reference<com::sun::star::datatransfer::XTransferable> content;
    CopiedPage page;
};

// A text document open in the office, with the insertion point the Selection works on. Its
// controllers stay locked while it is edited: the office then lays out nothing between calls.
// The Document calls go through the application's watched(); the others are parts of the
// Selection's, Find's and Range's calls, which already do.
class OfficeDocument : public Document, public std::enable_shared_from_this<OfficeDocument>
{
public:
    OfficeDocument(OfficeApplication& app,
                   const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                   const QString& path);
    ~OfficeDocument() override;

    void SaveAs(const QString& path) override;
    void ExportAsFixedFormat(const QString& path, WdExportFormat format,
                             const FixedFormatOptions& options) override;
    void Close() override;
    void Close(WdSaveOptions saveChanges) override;
    std::unique_ptr<Range> range() override;
    void FitTextToLines() override;
    bool HasFields() override;

    bool closed() const { return !mModel.is(); }
    // Lets go of the office's objects without asking the office for anything.
    void abandon();
    // A document to be filled and copied page by page ends in an empty paragraph, as the
    // template does: a copy of it pasted at the end then leaves the empty paragraph that
    // TypeBackspace removes, and no text placed at its end grows with the pastes.
    void endWithEmptyParagraph();

    // What Selection does, on this document.
    void wholeStory();
    void copy();
    void endOfStory();
    void paste();
    void backspace();
    void goToPage(WdGoToDirection direction, int count);
    bool replaceAll(const FindRequest& request);
    QImage firstPagePicture();
    // Its text, laid out and ready to be read as it stands.
    struct Contents
    {
        com::sun::star::uno::Reference<com::sun::star::text::XText> text;
        com::sun::star::uno::Reference<com::sun::star::util::XReplaceable> replaceable;
    };
    Contents forReading();

private:
    void save(const QString& path);
    void close();
    void requireOpen() const;
    void requireView() const;
    void select(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& range);
    void lockControllers();
    void unlockControllers();
    void resumeView();
    // Before anything that reads, copies or stores the document.
    void endStaging();

    OfficeApplication& mApp;
    QString mPath;
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
    com::sun::star::uno::Reference<com::sun::star::util::XReplaceable> mReplaceable;
    com::sun::star::uno::Reference<com::sun::star::view::XSelectionSupplier> mSelectionSupplier;
    com::sun::star::uno::Reference<com::sun::star::datatransfer::XTransferableSupplier>
        mTransferSupplier;
    // The insertion point (collapsed) or the selection.
    com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> mCursor;
    com::sun::star::uno::Reference<com::sun::star::text::XParagraphCursor> mCursorParagraph;
    com::sun::star::uno::Reference<com::sun::star::beans::XPropertySet> mCursorProperties;
    // What is known without asking the office.
    DocumentModel mKnown;
    // Made at the first search.
    std::optional<OfficeReplaceAll> mReplace;
    std::optional<PageIndex> mPages;
    int mPastedPages = 0;
    LayoutStages mStages;
    bool mLocked = false;
    bool mSuspended = false;
};

} // namespace word
