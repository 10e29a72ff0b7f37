#include "document_editor.h"

#include "office_counts.h"
#include "office_line_fit.h"
#include "selection_copy.h"
#include "uno_support.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

#include <limits>

namespace word {

using namespace word::uno;

DocumentEditor::DocumentEditor(const Reference<css::frame::XModel>& model,
                               std::shared_ptr<CopiedText> copied, const QString& path)
    : mPath(path), mCopied(std::move(copied)), mModel(model)
{
    guarded(QStringLiteral("Opening \"%1\"").arg(path), [&] {
        mText = Reference<css::text::XTextDocument>(mModel, UNO_QUERY_THROW)->getText();
        mReplaceable.set(mModel, UNO_QUERY_THROW);
        takeView();
        mCursor = mText->createTextCursor();
        mCursor->gotoStart(false);
        mCursorParagraph.set(mCursor, UNO_QUERY_THROW);
        mCursorProperties.set(mCursor, UNO_QUERY_THROW);
    });
}

std::vector<EditOutcome> DocumentEditor::run(const std::vector<EditCommand>& commands)
{
    std::vector<EditOutcome> outcomes(commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i) {
        try {
            try {
                outcomes[i].value = runOne(commands[i]);
            } catch (...) {
                rethrowAsWordError(QStringLiteral("Editing \"%1\"").arg(mPath));
            }
        } catch (const RuntimeFailure& failure) {
            // A disposed object: the document or the connection is gone, and no later step
            // could run either.
            if (failure.disposed()) {
                throw;
            }
            outcomes[i].failed = true;
            outcomes[i].description = QString::fromUtf8(failure.what());
        } catch (const Error& failure) {
            outcomes[i].failed = true;
            outcomes[i].description = QString::fromUtf8(failure.what());
        }
    }
    return outcomes;
}

int DocumentEditor::runOne(const EditCommand& command)
{
    using Kind = EditCommand::Kind;
    switch (command.kind) {
    case Kind::WholeStory:
        wholeStory();
        return 0;
    case Kind::Copy:
        copy();
        return 0;
    case Kind::EndOfStory:
        endOfStory();
        return 0;
    case Kind::Paste:
        paste();
        return 0;
    case Kind::Backspace:
        backspace();
        return 0;
    case Kind::GoToPage:
        goToPage(command.direction, command.count);
        return 0;
    case Kind::Replace:
        return replaceAll(command.request) ? 1 : 0;
    case Kind::EndStaging:
        endStaging();
        return 0;
    case Kind::PastedPages:
        return mPastedPages;
    case Kind::ViewChanged:
        takeView();
        return 0;
    case Kind::CountPages:
        return countPages();
    case Kind::KeepPages:
        keepPages(command.direction, command.count);
        return 0;
    case Kind::FitTextToLines:
        fitTextToLines(command.keptClear);
        return 0;
    case Kind::Statistics:
        return statistic(command.count);
    case Kind::ExpectPages:
        mStages.expectPages(command.count);
        return 0;
    case Kind::Fail:
        break;
    }
    throw Error(command.failure);
}

void DocumentEditor::endStaging()
{
    if (mStages.running()) {
        mKnown.laidOut();
        guarded(QStringLiteral("Laying out \"%1\"").arg(mPath), [&] { mStages.end(); });
    }
}

void DocumentEditor::takeView()
{
    // An invisible document has no view: no selection, no transfer.
    const auto controller = mModel->getCurrentController();
    mSelectionSupplier.set(controller, UNO_QUERY);
    mTransferSupplier.set(controller, UNO_QUERY);
}

void DocumentEditor::requireView() const
{
    if (!mSelectionSupplier.is() || !mTransferSupplier.is()) {
        throw Error(QStringLiteral("The document \"%1\" was opened invisible, without a window to "
                                   "select in.")
                        .arg(mPath));
    }
}

void DocumentEditor::select(const Reference<css::text::XTextRange>& range)
{
    requireView();
    mSelectionSupplier->select(Any(range));
}

void DocumentEditor::wholeStory()
{
    guarded(QStringLiteral("Selecting the whole document"), [&] {
        mKnown.moved();
        mCursor->gotoStart(false);
        mCursor->gotoEnd(true);
    });
}

void DocumentEditor::copy()
{
    guarded(QStringLiteral("Copying"), [&] {
        endStaging();
        select(up<css::text::XTextRange>(mCursor));
        mStatistics.changed();
        CopiedText copied;
        copied.content = mTransferSupplier->getTransferable();
        copied.page = copiedPageOf(mText, mCursor);
        *mCopied = copied;
    });
}

void DocumentEditor::endOfStory()
{
    guarded(QStringLiteral("Moving to the end"), [&] {
        mKnown.moved();
        mCursor->gotoEnd(false);
        mKnown.movedToEnd();
    });
}

bool DocumentEditor::insertionAtEnd() const
{
    // Right after EndKey the insertion point is known to be at the end; asking the office again
    // would cost calls on every page.
    if (mKnown.atEnd()) {
        return true;
    }
    Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
    return mCursor->isCollapsed() &&
           compare->compareRegionEnds(up<css::text::XTextRange>(mCursor), mText->getEnd()) == 0;
}

void DocumentEditor::paste()
{
    const CopiedText copied = *mCopied;
    if (!copied.content.is()) {
        throw Error(QStringLiteral("Nothing has been copied to paste."));
    }
    guarded(QStringLiteral("Pasting"), [&] {
        const bool atEnd = insertionAtEnd();
        mKnown.moved();
        const bool newParagraph = atEnd && !mCursorParagraph->isStartOfParagraph();
        if (atEnd && copied.page.onePage) {
            mStatistics.pageBegins([this] { return officeCounts(mModel); }, newParagraph);
        } else {
            mStatistics.changed();
        }
        if (newParagraph) {
            // Pasted paragraphs merge their first one into the paragraph they land in; at the
            // end of a paragraph with text they would run into it.
            mText->insertControlCharacter(up<css::text::XTextRange>(mCursor),
                                          css::text::ControlCharacter::PARAGRAPH_BREAK, false);
            mCursor->gotoEnd(false);
        }
        // Just before the landing place, where the insertion does not carry it along.
        const auto before = atEnd
                                ? mText->createTextCursorByRange(up<css::text::XTextRange>(mCursor))
                                : mText->createTextCursorByRange(mCursor->getStart());
        const bool hasBefore = before->goLeft(1, false);

        select(up<css::text::XTextRange>(mCursor));
        mTransferSupplier->insertTransferable(copied.content);

        if (atEnd) {
            mCursor->gotoEnd(false);
        } else {
            Reference<css::text::XTextViewCursorSupplier> views(mModel->getCurrentController(),
                                                                UNO_QUERY_THROW);
            mCursor->gotoRange(views->getViewCursor()->getEnd(), false);
        }
        mKnown.pasted(atEnd, copied.page);
        if (mPages) {
            if (atEnd && hasBefore && copied.page.onePage) {
                before->goRight(1, false);
                mPages->appendIfValid(before);
            } else {
                mPages->invalidate();
            }
        }
        if (copied.page.onePage) {
            ++mPastedPages;
            if (atEnd) {
                mStages.pageAppended(mModel, mText);
            }
        }
    });
}

void DocumentEditor::backspace()
{
    guarded(QStringLiteral("Deleting"), [&] {
        const bool atEnd = mKnown.atEnd();
        const bool endsInPage = mKnown.typedBackspace(atEnd);
        if (atEnd) {
            mStatistics.backspace();
            // Collapsed at the end, and it stays there: the character before it goes. Joining
            // the last paragraph to the one before removes a page start only when the last
            // paragraph begins a page.
            if (mPages && !endsInPage && mCursorParagraph->isStartOfParagraph() &&
                PageIndex::startsPage(up<css::uno::XInterface>(mCursorProperties))) {
                mPages->invalidate();
            }
            if (mCursor->goLeft(1, true)) {
                mCursor->setString(rtl::OUString()); // leaves it collapsed where the text was
            }
            mKnown.movedToEnd();
            return;
        }
        mStatistics.changed();
        if (!mCursor->isCollapsed()) {
            if (mPages) {
                mPages->invalidate();
            }
            mCursor->setString(rtl::OUString());
            return;
        }
        const auto before = mText->createTextCursorByRange(up<css::text::XTextRange>(mCursor));
        // Joining a paragraph that begins a page to the one before removes that page start.
        if (mPages &&
            Reference<css::text::XParagraphCursor>(before, UNO_QUERY_THROW)->isStartOfParagraph() &&
            PageIndex::startsPage(up<css::uno::XInterface>(before))) {
            mPages->invalidate();
        }
        if (before->goLeft(1, true)) {
            before->setString(rtl::OUString());
        }
    });
}

void DocumentEditor::goToPage(WdGoToDirection direction, int count)
{
    guarded(QStringLiteral("Going to a page"), [&] {
        if (!mPages) {
            mPages.emplace(mText);
        }
        const int offset = direction == WdGoToDirection::Next ? count : -count;
        // After a jump the insertion point is known to be at the start of the page it landed
        // on, so the next jump needs no search for its page.
        int page = mKnown.page() && mPages->valid() ? *mKnown.page()
                   : mKnown.atEnd()                 ? mPages->lastPage()
                                    : mPages->pageOf(up<css::text::XTextRange>(mCursor));
        mKnown.moved();
        mCursor->gotoRange(up<css::text::XTextRange>(mPages->pageStartFrom(page, offset)), false);
        mKnown.movedToPage(page, page == mPages->lastPage());
    });
}

int DocumentEditor::countPages()
{
    return guarded(QStringLiteral("Counting the pages of \"%1\"").arg(mPath), [&] {
        if (!mPages) {
            mPages.emplace(mText);
        }
        return mPages->lastPage() + 1;
    });
}

void DocumentEditor::keepPages(WdGoToDirection which, int page)
{
    guarded(QStringLiteral("Dividing \"%1\" at page %2").arg(mPath).arg(page + 1), [&] {
        if (!mPages) {
            mPages.emplace(mText);
        }
        int at = 0;
        const PageIndex::Cursor start = mPages->pageStartFrom(at, page);
        // Cut at the end of the paragraph before the page, which must be one of text.
        const auto before = mText->createTextCursorByRange(up<css::text::XTextRange>(start));
        if (page < 1 || at != page || !before->goLeft(1, false) ||
            !Reference<css::text::XParagraphCursor>(before, UNO_QUERY_THROW)->isEndOfParagraph()) {
            throw Error(
                QStringLiteral("The document cannot be divided at its page %1.").arg(page + 1));
        }
        mStatistics.changed();
        mKnown.moved();
        mKnown.replaceBegins(false);
        mPages.reset();
        mCursor->gotoStart(false);
        const auto cut = which == WdGoToDirection::Next
                             ? mText->createTextCursorByRange(mText->getStart())
                             : mText->createTextCursorByRange(up<css::text::XTextRange>(before));
        if (which == WdGoToDirection::Next) {
            // The first paragraph stays, emptied, on a page of its own: the kept pages then
            // follow a page break as they did, and lay out as they did.
            cut->gotoRange(up<css::text::XTextRange>(before), true);
        } else {
            cut->gotoEnd(true);
        }
        cut->setString(rtl::OUString());
        mCursor->gotoStart(false);
    });
}

void DocumentEditor::fitTextToLines(const KeptClear& keptClear)
{
    requireView(); // the office's font metrics come from the window
    endStaging();
    mStatistics.changed();
    guarded(QStringLiteral("Fitting the text to its lines"),
            [&] { OfficeLineFit(mModel, mText).run(keptClear); });
}

bool DocumentEditor::replaceAll(const FindRequest& request)
{
    if (request.text.isEmpty()) {
        return false;
    }
    return guarded(QStringLiteral("Replacing \"%1\"").arg(request.text), [&] {
        mKnown.replaceBegins(request.wrap == WdFindWrap::Stop);
        if (!mReplace) {
            mReplace.emplace(mText, mReplaceable);
        }
        if (request.wrap != WdFindWrap::Stop) {
            const bool replaced = mReplace->everywhere(request, mKnown);
            if (replaced) {
                mStatistics.changed();
            }
            return replaced;
        }
        const int matches = mReplace->fromInsertionPoint(request, mKnown, mCursor);
        mStatistics.replaced(request.text, request.replacement, matches);
        return matches > 0;
    });
}

int DocumentEditor::statistic(int which)
{
    const std::optional<DocumentCounts> counts = mStatistics.counts();
    if (!counts) {
        return -1;
    }
    // A field may show the statistics, and only the office's own count brings it up to date.
    if (holdsFields(mModel)) {
        return -1;
    }
    const qint64 value = which == 0   ? counts->words
                         : which == 1 ? counts->characters
                                      : counts->paragraphs;
    return value <= std::numeric_limits<int>::max() ? static_cast<int>(value) : -1;
}

} // namespace word
