#pragma once

#include "page_index.h"
#include "staged_layout.h"
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

// The settings of one find-and-replace, as Find collected them.
struct FindRequest
{
    QString text;
    QString replacement;
    bool forward = true;
    WdFindWrap wrap = WdFindWrap::Continue;
    bool format = false;
    bool matchCase = false;
    bool matchWholeWord = false;
    bool matchWildcards = false;
    bool matchSoundsLike = false;
    bool matchAllWordForms = false;
    QString style;
};

// What Copy took, held by the office's own transfer object rather than the desktop clipboard.
struct CopiedText
{
    com::sun::star::uno::Reference<com::sun::star::datatransfer::XTransferable> content;
    // Whether it begins a page of its own and holds no other page start.
    bool onePage = false;
    // Whether its last paragraph is known not to begin a page.
    bool endsInPage = false;
    // Its paragraphs' styles and texts, when it is one page of plain paragraphs; and whether its
    // last paragraph is empty (a backspace at its end then only joins paragraphs).
    struct Paragraph
    {
        QString style;
        QString caseBlindText; // as searches compare it
        bool plainAscii = true;
    };
    std::shared_ptr<const std::vector<Paragraph>> paragraphs;
    bool endsEmpty = false;
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
    // Whether closing it would take the office long enough that ending the process is better.
    bool expensiveToClose() const { return mPastedPages > 20; }
    // Lets go of the office's objects without asking the office for anything.
    void abandon();

    // What Selection does, on this document.
    void wholeStory();
    void copy();
    void endOfStory();
    void paste();
    void backspace();
    void goToPage(WdGoToDirection direction, int count);
    bool replaceAll(const FindRequest& request);
    QImage firstPagePicture();
    QStringList paragraphTexts(const QString& style);
    int paragraphCount(const QString& style);
    QString text();

private:
    void save(const QString& path);
    void close();
    void requireOpen() const;
    void requireView() const;
    void select(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& range);
    bool replaceEverywhere(const FindRequest& request);
    bool replaceFromInsertionPoint(const FindRequest& request);
    // Whether a match may be replaced: it lies in the asked-for paragraph style and touches no
    // placed text (checked only when guard is set).
    bool replaceable(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& match,
                     const QString& style, bool guard);
    bool mayTouchPlacedText(const QString& search) const;
    // Whether every match from the insertion point on is known to lie in the style.
    bool matchesOnlyInStyle(const FindRequest& request);
    void forgetLastPageCopy();
    bool placedTextAfter(
        const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& position);
    bool overlapsPlacedText(
        const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& match);
    void lockControllers();
    void unlockControllers();
    void resumeView();
    void forgetWhereTheCursorIs();
    void pageAppended();
    com::sun::star::uno::Reference<com::sun::star::container::XIndexAccess>
    findStyle(const QString& style);
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
    // Made once: only the search and replacement texts change between searches.
    com::sun::star::uno::Reference<com::sun::star::util::XReplaceDescriptor> mSearch;
    // Text a replace-all over the whole document put in: later searches leave it alone. The
    // collapsed ends are taken from the office only when a search could touch it.
    struct Placement
    {
        QString text;
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> range;
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> start;
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> end;
    };
    std::vector<Placement> mPlaced;
    // The placed text that ends last, once asked for.
    com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> mPlacedEnd;
    std::optional<PageIndex> mPages;
    int mPastedPages = 0;
    // Layout in stages while pages are appended; pages appended since it last ended.
    std::optional<StagedLayout> mStaging;
    int mUnstagedPages = 0;
    bool mLocked = false;
    bool mSuspended = false;
    // What is known about the insertion point without asking the office: collapsed at the end
    // of the document, or at the start of this page of the index.
    bool mAtEnd = false;
    std::optional<int> mPlacedPage;
    // Known without asking: no placed text lies after the insertion point (kept while the
    // insertion point only stays or moves on).
    bool mNoPlacedTextAfter = false;
    // Known without asking: the document's last paragraph does not begin a page (it is the last
    // one of a page pasted at the end).
    bool mEndsInPage = false;
    // Known without asking: the last page is a pasted copy of these paragraphs, changed since
    // only in paragraphs of the style last searched with; and the insertion point lies in it.
    std::shared_ptr<const std::vector<CopiedText::Paragraph>> mLastPageCopy;
    QString mLastPageChangedStyle;
    bool mLastPageEndsEmpty = false;
    // The style the paste gave the last page's first paragraph, once asked.
    std::optional<QString> mLastPageFirstStyle;
    bool mInLastPageCopy = false;
};

} // namespace word
