#pragma once

#include "copied_page.h"
#include "document_editing.h"
#include "document_model.h"
#include "layout_stages.h"
#include "page_index.h"
#include "page_statistics.h"
#include "replace_all.h"

#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <memory>
#include <optional>

namespace word {

// What Copy took, held by the office's own transfer object rather than the desktop clipboard,
// and what the document model follows of it. One per office: a copy may be pasted into any of
// its documents.
struct CopiedText
{
    com::sun::star::uno::Reference<com::sun::star::datatransfer::XTransferable> content;
    CopiedPage page;
};

// The Selection's and Find's work on one document: the insertion point, the document model and
// the page index, and the UNO calls that edit. The same code runs in this process, each call a
// round trip over the pipe, or inside the office (in_office/), where a call costs what the
// office's own work costs.
class DocumentEditor final : public DocumentEditing
{
public:
    DocumentEditor(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                   std::shared_ptr<CopiedText> copied, const QString& path);

    std::vector<EditOutcome> run(const std::vector<EditCommand>& commands) override;

private:
    int runOne(const EditCommand& command);
    void wholeStory();
    void copy();
    void endOfStory();
    void paste();
    void backspace();
    void goToPage(WdGoToDirection direction, int count);
    int countPages();
    void keepPages(WdGoToDirection which, int page);
    void fitTextToLines(const KeptClear& keptClear);
    // Whether the insertion point is collapsed at the end of the text.
    bool insertionAtEnd() const;
    int statistic(int which);
    bool replaceAll(const FindRequest& request);
    void endStaging();
    void takeView();
    void requireView() const;
    void select(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& range);

    QString mPath;
    std::shared_ptr<CopiedText> mCopied;
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
    std::optional<ReplaceAll> mReplace;
    std::optional<PageIndex> mPages;
    int mPastedPages = 0;
    LayoutStages mStages;
    PageStatistics mStatistics;
};

} // namespace word
