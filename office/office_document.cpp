#include "office_document.h"

#include "office_application.h"
#include "office_line_fit.h"
#include "office_range.h"
#include "pdf_export.h"
#include "reporting_call.h"
#include "uno_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace word {

using namespace word::uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// The picture's size: 1200 pixels across at 192 pixels per inch, so 6.25 inches (9000 twips).
constexpr int kPictureWidth = 1200;
constexpr int kPictureDotsPerMeter = 7559; // 192 dpi

// A document of more pages than this is not closed in the office: tearing down its layout takes
// minutes, while ending the office process at quit frees it at once.
constexpr int kCheapToClosePages = 20;

// Below this many appended pages, laying out at the end costs less than setting up the stages.
constexpr int kStagedFromPages = 20;

QString caseBlind(const QString& text)
{
    return text.toCaseFolded();
}

bool isPlainAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Only case-blind searches for literal text reach the document (Find refuses the rest), so
// these are the same for every search.
void setSearchOptions(const Reference<css::util::XSearchDescriptor>& descriptor)
{
    Reference<css::beans::XPropertySet> options(descriptor, UNO_QUERY_THROW);
    options->setPropertyValue("SearchCaseSensitive", Any(false));
    options->setPropertyValue("SearchRegularExpression", Any(false));
    options->setPropertyValue("SearchWords", Any(false));
    options->setPropertyValue("SearchSimilarity", Any(false));
    options->setPropertyValue("SearchBackwards", Any(false));
    options->setPropertyValue("SearchStyles", Any(false));
}

} // namespace

OfficeDocument::OfficeDocument(OfficeApplication& app, const Reference<css::frame::XModel>& model,
                               const QString& path)
    : mApp(app), mPath(path), mModel(model)
{
    guarded(QStringLiteral("Opening \"%1\"").arg(path), [&] {
        mText = Reference<css::text::XTextDocument>(mModel, UNO_QUERY_THROW)->getText();
        mReplaceable.set(mModel, UNO_QUERY_THROW);
        // An invisible document has no view: no selection, no transfer, nothing to suspend.
        const auto controller = mModel->getCurrentController();
        mSelectionSupplier.set(controller, UNO_QUERY);
        mTransferSupplier.set(controller, UNO_QUERY);
        mCursor = mText->createTextCursor();
        mCursor->gotoStart(false);
        mCursorParagraph.set(mCursor, UNO_QUERY_THROW);
        mCursorProperties.set(mCursor, UNO_QUERY_THROW);
        // An active view updates its state (rulers, status) whenever the office is idle, and
        // that lays the document out up to the insertion point between our calls. Every page
        // laid out is one more page the header art must be attached to again on each paste,
        // so the cost of a paste would grow with the document. A suspended view lays out
        // nothing until a save or a picture needs it. Right after loading nothing is changed
        // yet, so suspending asks no questions.
        mSuspended = controller.is() && controller->suspend(true);
        lockControllers();
        // Nothing here is ever undone; undo records of thousands of pastes and replacements
        // would only pile up in the office's memory.
        Reference<css::document::XUndoManagerSupplier>(mModel, UNO_QUERY_THROW)
            ->getUndoManager()
            ->lock();
    });
}

OfficeDocument::~OfficeDocument() = default;

void OfficeDocument::requireOpen() const
{
    if (closed()) {
        throw Error(QStringLiteral("The document \"%1\" has been closed.").arg(mPath));
    }
}

void OfficeDocument::abandon()
{
    mCursor.clear();
    mCursorParagraph.clear();
    mCursorProperties.clear();
    mSearch.clear();
    mPages.reset();
    mStaging.reset();
    mTransferSupplier.clear();
    mSelectionSupplier.clear();
    mReplaceable.clear();
    mText.clear();
    mModel.clear();
}

void OfficeDocument::lockControllers()
{
    if (!mLocked) {
        mModel->lockControllers();
        mLocked = true;
    }
}

void OfficeDocument::unlockControllers()
{
    if (mLocked) {
        mModel->unlockControllers();
        mLocked = false;
    }
}

void OfficeDocument::resumeView()
{
    if (mSuspended) {
        mModel->getCurrentController()->suspend(false);
        mSuspended = false;
    }
}

void OfficeDocument::forgetWhereTheCursorIs()
{
    mAtEnd = false;
    mPlacedPage.reset();
    mNoPlacedTextAfter = false;
    mInLastPageCopy = false;
}

void OfficeDocument::forgetLastPageCopy()
{
    mLastPageCopy.reset();
    mLastPageChangedStyle.clear();
    mLastPageEndsEmpty = false;
    mLastPageFirstStyle.reset();
    mInLastPageCopy = false;
}

void OfficeDocument::pageAppended()
{
    if (!mStaging && ++mUnstagedPages >= kStagedFromPages) {
        try {
            mStaging.emplace(mModel, mText);
        } catch (const css::uno::RuntimeException&) {
            throw; // the office is gone or broken: the next call would fail as well
        } catch (const css::uno::Exception&) {
            // Without stages the pages are laid out at the end: slower, the same document.
            mUnstagedPages = std::numeric_limits<int>::min();
        }
    }
    if (mStaging) {
        mStaging->pageAdded();
    }
}

void OfficeDocument::endStaging()
{
    if (mStaging) {
        // Ended even when putting the page style back fails, so that no later call tries again
        // on a half-restored document; the failure is reported.
        std::optional<StagedLayout> staging;
        staging.swap(mStaging);
        mEndsInPage = false;
        mUnstagedPages = 0;
        staging->finish();
    }
}

void OfficeDocument::requireView() const
{
    if (!mSelectionSupplier.is() || !mTransferSupplier.is()) {
        throw Error(QStringLiteral("The document \"%1\" was opened invisible, without a window to "
                                   "select in.")
                        .arg(mPath));
    }
}

void OfficeDocument::select(const Reference<css::text::XTextRange>& range)
{
    requireView();
    mSelectionSupplier->select(Any(range));
}

void OfficeDocument::SaveAs(const QString& path)
{
    try {
        mApp.watched([&] { save(path); });
    } catch (...) {
        mApp.removeSaveLeftovers(path);
        throw;
    }
}

void OfficeDocument::save(const QString& path)
{
    requireOpen();
    const QFileInfo target(QDir::current().absoluteFilePath(path));
    const auto fail = [&](const QString& reason) {
        return Error(
            QStringLiteral("The document could not be saved as \"%1\": %2").arg(path, reason));
    };
    if (path.isEmpty()) {
        throw fail(QStringLiteral("no name was given."));
    }
    if (target.isSymLink()) {
        throw fail(QStringLiteral("a link is in the way, and it is not followed."));
    }
    if (target.isDir()) {
        throw fail(QStringLiteral("a folder of that name exists."));
    }
    if (!target.dir().exists()) {
        throw fail(QStringLiteral("the folder does not exist."));
    }
    // Written beside the target and renamed over it: a failed save leaves no partial file, and a
    // rename replaces whatever is at the target instead of writing through it.
    QString scratch;
    do {
        scratch = target.dir().filePath(
            QStringLiteral(".~%1.%2.tmp")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (QFileInfo::exists(scratch));
    try {
        endStaging();
        Reference<css::frame::XStorable> storable(mModel, UNO_QUERY_THROW);
        storable->storeToURL(fileUrl(scratch),
                             properties({{"FilterName", Any(rtl::OUString("MS Word 97"))},
                                         {"Overwrite", Any(true)}}));
    } catch (...) {
        QFile::remove(scratch);
        rethrowAsWordError(QStringLiteral("Saving \"%1\"").arg(path));
    }
    if (std::rename(QFile::encodeName(scratch).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        QFile::remove(scratch);
        throw fail(QString::fromLocal8Bit(strerror(error)));
    }
}

void OfficeDocument::ExportAsFixedFormat(const QString& path, WdExportFormat,
                                         const FixedFormatOptions& options)
{
    const QFileInfo target(QDir::current().absoluteFilePath(path));
    if (path.isEmpty() || target.isDir() || !target.dir().exists()) {
        throw Error(QStringLiteral("The document could not be exported as \"%1\": there is no "
                                   "such folder, or a folder has that name.")
                        .arg(path));
    }
    mApp.watched([&] {
        requireOpen();
        guarded(QStringLiteral("Exporting \"%1\" as PDF").arg(mPath), [&] {
            endStaging();
            // Made while nothing is laid out; the export then lays the pages out once.
            PdfExport pdf(mModel, mText, mApp.scratchFolder());
            pdf.separateArt();
            // A window for the export, and the pages laid out in it: seconds for a long document,
            // with no report from the office, while the caller's events go on.
            reportingCall(options.progress, nullptr, [&] {
                if (!mModel->getCurrentController().is()) {
                    mApp.attachHiddenWindow(mModel);
                }
                resumeView();
                unlockControllers();
            });
            pdf.write(target.absoluteFilePath(), options);
            lockControllers();
        });
    });
}

void OfficeDocument::Close()
{
    // Changes are never saved implicitly: a document is closed as it stands on disk.
    Close(WdSaveOptions::DoNotSaveChanges);
}

void OfficeDocument::Close(WdSaveOptions)
{
    mApp.watched([&] { close(); });
}

void OfficeDocument::close()
{
    requireOpen();
    const auto self = shared_from_this();
    const bool leaveInOffice = mPastedPages > kCheapToClosePages;
    if (!leaveInOffice) {
        guarded(QStringLiteral("Closing \"%1\"").arg(mPath),
                [&] { Reference<css::util::XCloseable>(mModel, UNO_QUERY_THROW)->close(true); });
    }
    abandon();
    mApp.forget(this, leaveInOffice);
}

std::unique_ptr<Range> OfficeDocument::range()
{
    requireOpen();
    return std::make_unique<OfficeRange>(mApp, shared_from_this());
}

void OfficeDocument::FitTextToLines()
{
    mApp.watched([&] {
        requireOpen();
        requireView(); // the office's font metrics come from the window
        guarded(QStringLiteral("Fitting the text to its lines"), [&] {
            endStaging();
            OfficeLineFit(mModel, mText).run();
        });
    });
}

Reference<css::container::XIndexAccess> OfficeDocument::findStyle(const QString& style)
{
    endStaging();
    // A style search finds whole paragraphs, all of them in one call.
    const auto descriptor = mReplaceable->createSearchDescriptor();
    Reference<css::beans::XPropertySet> options(descriptor, UNO_QUERY_THROW);
    options->setPropertyValue("SearchStyles", Any(true));
    descriptor->setSearchString(toOU(style));
    return mReplaceable->findAll(descriptor);
}

bool OfficeDocument::HasFields()
{
    return mApp.watched([&] {
        requireOpen();
        return guarded(QStringLiteral("Looking for fields"), [&] {
            return Reference<css::text::XTextFieldsSupplier>(mModel, UNO_QUERY_THROW)
                ->getTextFields()
                ->createEnumeration()
                ->hasMoreElements();
        });
    });
}

QStringList OfficeDocument::paragraphTexts(const QString& style)
{
    requireOpen();
    return guarded(QStringLiteral("Reading the paragraphs in the style \"%1\"").arg(style), [&] {
        const Reference<css::container::XIndexAccess> found = findStyle(style);
        QStringList texts;
        const sal_Int32 count = found.is() ? found->getCount() : 0;
        for (sal_Int32 i = 0; i < count; ++i) {
            texts << toQ(Reference<css::text::XTextRange>(found->getByIndex(i), UNO_QUERY_THROW)
                             ->getString());
        }
        return texts;
    });
}

int OfficeDocument::paragraphCount(const QString& style)
{
    requireOpen();
    return guarded(QStringLiteral("Counting the paragraphs in the style \"%1\"").arg(style), [&] {
        const Reference<css::container::XIndexAccess> found = findStyle(style);
        return found.is() ? static_cast<int>(found->getCount()) : 0;
    });
}

QString OfficeDocument::text()
{
    requireOpen();
    return guarded(QStringLiteral("Reading the text"), [&] {
        endStaging();
        // The office ends paragraphs with a line feed and leaves the last one open.
        QString text = toQ(mText->getString());
        text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
        return text + QLatin1Char('\r');
    });
}

QImage OfficeDocument::firstPagePicture()
{
    requireOpen();
    const QString png = QDir(mApp.scratchFolder()).filePath(QStringLiteral("page.png"));
    QFile::remove(png);
    guarded(QStringLiteral("Making a picture of \"%1\"").arg(mPath), [&] {
        endStaging();
        // The picture filter draws the page the view is on, and needs the layout to do so.
        resumeView();
        unlockControllers();
        Reference<css::text::XTextViewCursorSupplier> views(mModel->getCurrentController(),
                                                            UNO_QUERY_THROW);
        Reference<css::text::XPageCursor> page(views->getViewCursor(), UNO_QUERY_THROW);
        page->jumpToFirstPage();
        Reference<css::frame::XStorable>(mModel, UNO_QUERY_THROW)
            ->storeToURL(fileUrl(png),
                         properties({{"FilterName", Any(rtl::OUString("writer_png_Export"))}}));
        lockControllers();
    });
    QImage picture(png);
    QFile::remove(png);
    if (picture.isNull()) {
        throw Error(QStringLiteral("The office made no readable picture of \"%1\".").arg(mPath));
    }
    picture = picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
    picture.setDotsPerMeterX(kPictureDotsPerMeter);
    picture.setDotsPerMeterY(kPictureDotsPerMeter);
    return picture;
}

void OfficeDocument::wholeStory()
{
    requireOpen();
    guarded(QStringLiteral("Selecting the whole document"), [&] {
        forgetWhereTheCursorIs();
        mCursor->gotoStart(false);
        mCursor->gotoEnd(true);
    });
}

void OfficeDocument::copy()
{
    requireOpen();
    guarded(QStringLiteral("Copying"), [&] {
        endStaging();
        select(up<css::text::XTextRange>(mCursor));
        CopiedText copied;
        copied.content = mTransferSupplier->getTransferable();
        // Whether a paste of it adds exactly one page that starts where the paste starts, so
        // the page index can follow pastes without looking at the pasted text again.
        const auto start = mText->createTextCursorByRange(mCursor->getStart());
        bool onePage =
            Reference<css::text::XParagraphCursor>(start, UNO_QUERY_THROW)->isStartOfParagraph();
        Reference<css::container::XEnumeration> paragraphs =
            Reference<css::container::XEnumerationAccess>(mCursor, UNO_QUERY_THROW)
                ->createEnumeration();
        bool first = true;
        int paragraphCount = 0;
        auto texts = std::make_shared<std::vector<CopiedText::Paragraph>>();
        while (onePage && paragraphs->hasMoreElements()) {
            ++paragraphCount;
            const Reference<css::uno::XInterface> element(paragraphs->nextElement(), UNO_QUERY);
            const bool breaks = PageIndex::startsPage(element);
            onePage = (breaks == first);
            first = false;
            const Reference<css::text::XTextRange> paragraph(element, UNO_QUERY);
            if (texts && paragraph.is()) {
                rtl::OUString style;
                Reference<css::beans::XPropertySet>(element, UNO_QUERY_THROW)
                    ->getPropertyValue("ParaStyleName") >>= style;
                const QString text = toQ(paragraph->getString());
                texts->push_back({toQ(style), caseBlind(text), isPlainAscii(text)});
            } else {
                texts.reset(); // a table, say: what a paste of it holds is not followed
            }
        }
        copied.onePage = onePage && !first;
        // In a one-page copy only the first paragraph begins a page.
        copied.endsInPage = copied.onePage && paragraphCount > 1;
        if (copied.onePage && texts) {
            copied.endsEmpty = texts->back().caseBlindText.isEmpty();
            copied.paragraphs = std::move(texts);
        }
        mApp.copiedText() = copied;
    });
}

void OfficeDocument::endOfStory()
{
    requireOpen();
    guarded(QStringLiteral("Moving to the end"), [&] {
        forgetWhereTheCursorIs();
        mCursor->gotoEnd(false);
        mAtEnd = true;
    });
}

void OfficeDocument::paste()
{
    requireOpen();
    const CopiedText copied = mApp.copiedText();
    if (!copied.content.is()) {
        throw Error(QStringLiteral("Nothing has been copied to paste."));
    }
    guarded(QStringLiteral("Pasting"), [&] {
        // Right after EndKey the insertion point is known to be at the end; asking the office
        // again would cost calls on every page.
        bool atEnd = mAtEnd;
        forgetWhereTheCursorIs();
        if (!atEnd) {
            Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
            atEnd = mCursor->isCollapsed() &&
                    compare->compareRegionEnds(up<css::text::XTextRange>(mCursor),
                                               mText->getEnd()) == 0;
        }
        if (atEnd && !mCursorParagraph->isStartOfParagraph()) {
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

        mEndsInPage = atEnd && copied.endsInPage;
        forgetLastPageCopy();
        if (atEnd && copied.onePage) {
            mLastPageCopy = copied.paragraphs;
            mLastPageEndsEmpty = copied.endsEmpty;
        }
        if (atEnd) {
            mCursor->gotoEnd(false);
            mAtEnd = true;
        } else {
            Reference<css::text::XTextViewCursorSupplier> views(mModel->getCurrentController(),
                                                                UNO_QUERY_THROW);
            mCursor->gotoRange(views->getViewCursor()->getEnd(), false);
        }
        if (mPages) {
            if (atEnd && hasBefore && copied.onePage) {
                before->goRight(1, false);
                mPages->appendIfValid(before);
            } else {
                mPages->invalidate();
            }
        }
        if (copied.onePage) {
            ++mPastedPages;
            if (atEnd) {
                pageAppended();
            }
        }
    });
}

void OfficeDocument::backspace()
{
    requireOpen();
    guarded(QStringLiteral("Deleting"), [&] {
        const bool atEnd = mAtEnd;
        forgetWhereTheCursorIs();
        if (!atEnd) {
            mEndsInPage = false;
        }
        // At the end of a pasted page that ends empty, only its empty last paragraph goes.
        if (atEnd && mLastPageEndsEmpty) {
            mLastPageEndsEmpty = false;
        } else {
            forgetLastPageCopy();
        }
        if (atEnd) {
            // Collapsed at the end, and it stays there: the character before it goes. Joining
            // the last paragraph to the one before removes a page start only when the last
            // paragraph begins a page.
            if (mPages && !mEndsInPage && mCursorParagraph->isStartOfParagraph() &&
                PageIndex::startsPage(up<css::uno::XInterface>(mCursorProperties))) {
                mPages->invalidate();
            }
            mEndsInPage = false;
            if (mCursor->goLeft(1, true)) {
                mCursor->setString(rtl::OUString()); // leaves it collapsed where the text was
            }
            mAtEnd = true;
            return;
        }
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

void OfficeDocument::goToPage(WdGoToDirection direction, int count)
{
    requireOpen();
    guarded(QStringLiteral("Going to a page"), [&] {
        if (!mPages) {
            mPages.emplace(mText);
        }
        const int offset = direction == WdGoToDirection::Next ? count : -count;
        // After a jump the insertion point is known to be at the start of the page it landed
        // on, so the next jump needs no search for its page.
        int page = mPlacedPage && mPages->valid() ? *mPlacedPage
                   : mAtEnd                       ? mPages->lastPage()
                            : mPages->pageOf(up<css::text::XTextRange>(mCursor));
        forgetWhereTheCursorIs();
        mCursor->gotoRange(up<css::text::XTextRange>(mPages->pageStartFrom(page, offset)), false);
        mPlacedPage = page;
        mInLastPageCopy = mLastPageCopy && page == mPages->lastPage();
    });
}

bool OfficeDocument::replaceAll(const FindRequest& request)
{
    requireOpen();
    if (request.text.isEmpty()) {
        return false;
    }
    return guarded(QStringLiteral("Replacing \"%1\"").arg(request.text), [&] {
        // A replacement around the insertion point can move it, on but never back, and adds no
        // placed text after it.
        const bool noPlacedTextAfter = mNoPlacedTextAfter;
        const bool inLastPageCopy = mInLastPageCopy;
        forgetWhereTheCursorIs();
        mEndsInPage = false;
        mNoPlacedTextAfter = noPlacedTextAfter && request.wrap == WdFindWrap::Stop;
        mInLastPageCopy = inLastPageCopy && request.wrap == WdFindWrap::Stop;
        if (!mSearch.is()) {
            mSearch = mReplaceable->createReplaceDescriptor();
            setSearchOptions(up<css::util::XSearchDescriptor>(mSearch));
        }
        mSearch->setSearchString(toOU(request.text));
        return request.wrap == WdFindWrap::Stop ? replaceFromInsertionPoint(request)
                                                : replaceEverywhere(request);
    });
}

bool OfficeDocument::replaceEverywhere(const FindRequest& request)
{
    // Each match is replaced on its own rather than by the office's replace-all, so that what
    // is placed can be kept out of later searches.
    const Reference<css::container::XIndexAccess> found =
        mReplaceable->findAll(up<css::util::XSearchDescriptor>(mSearch));
    const bool guard = mayTouchPlacedText(request.text);
    forgetLastPageCopy();
    std::vector<Reference<css::text::XTextRange>> matches;
    const sal_Int32 count = found.is() ? found->getCount() : 0;
    for (sal_Int32 i = 0; i < count; ++i) {
        Reference<css::text::XTextRange> match(found->getByIndex(i), UNO_QUERY_THROW);
        if (replaceable(match, request.style, guard)) {
            matches.push_back(match);
        }
    }
    const rtl::OUString replacement = toOU(request.replacement);
    for (const auto& match : matches) {
        match->setString(replacement);
        // Nothing placed, nothing to keep: the text around it is the template's own. What is
        // kept is a cursor: a found range is a mark in the document, and marks travel with
        // every copy of the page, which makes each later paste and the save slower.
        if (!request.replacement.isEmpty()) {
            mPlaced.push_back({request.replacement, mText->createTextCursorByRange(match), {}, {}});
            mPlacedEnd.clear();
        }
    }
    return !matches.empty();
}

bool OfficeDocument::replaceFromInsertionPoint(const FindRequest& request)
{
    // The office searches on from the insertion point; each match costs one call to find it and
    // one to replace it, whatever lies before. A search that starts at a found range goes on
    // from its end, which after the replacement is the end of the replacement text.
    const Reference<css::util::XSearchDescriptor> descriptor =
        up<css::util::XSearchDescriptor>(mSearch);
    if (!mNoPlacedTextAfter && mayTouchPlacedText(request.text)) {
        mNoPlacedTextAfter = !placedTextAfter(up<css::text::XTextRange>(mCursor));
    }
    const bool guard = !mNoPlacedTextAfter && mayTouchPlacedText(request.text);
    // A match known to lie in the style needs no look at its paragraph.
    const QString style = matchesOnlyInStyle(request) ? QString() : request.style;
    const rtl::OUString replacement = toOU(request.replacement);
    bool replaced = false;
    Reference<css::uno::XInterface> found =
        mReplaceable->findNext(up<css::uno::XInterface>(mCursor), descriptor);
    while (found.is()) {
        Reference<css::text::XTextRange> match(found, UNO_QUERY_THROW);
        if (replaceable(match, style, guard)) {
            match->setString(replacement);
            replaced = true;
        }
        found = mReplaceable->findNext(found, descriptor);
    }
    // Paragraphs outside the style are still as pasted only while searches keep to one style.
    if (replaced && mLastPageCopy) {
        if (request.style.isEmpty() ||
            (!mLastPageChangedStyle.isEmpty() && mLastPageChangedStyle != request.style)) {
            forgetLastPageCopy();
        } else {
            mLastPageChangedStyle = request.style;
        }
    }
    return replaced;
}

bool OfficeDocument::replaceable(const Reference<css::text::XTextRange>& match,
                                 const QString& style, bool guard)
{
    if (!style.isEmpty()) {
        rtl::OUString name;
        Reference<css::beans::XPropertySet>(match, UNO_QUERY_THROW)
            ->getPropertyValue("ParaStyleName") >>= name;
        if (toQ(name) != style) {
            return false;
        }
    }
    return !guard || !overlapsPlacedText(match);
}

bool OfficeDocument::mayTouchPlacedText(const QString& search) const
{
    // Decided here, without asking the office: a match can only touch placed text that shares
    // part of the search text. Beyond plain ASCII the office's notion of case may differ from
    // ours, so every match is checked.
    const QString needle = caseBlind(search);
    for (const Placement& placement : mPlaced) {
        if (!isPlainAscii(placement.text) || !isPlainAscii(search)) {
            return true;
        }
        const QString placed = caseBlind(placement.text);
        if (placed.contains(needle) || needle.contains(placed)) {
            return true;
        }
        for (qsizetype n = 1; n < needle.size(); ++n) {
            if (placed.endsWith(QStringView(needle).left(n)) ||
                placed.startsWith(QStringView(needle).right(n))) {
                return true;
            }
        }
    }
    return false;
}

bool OfficeDocument::matchesOnlyInStyle(const FindRequest& request)
{
    // From an insertion point in the last page, which is a pasted copy whose paragraphs outside
    // the style are unchanged, a match can lie outside the style only where the copy's text
    // outside it holds the search text. Decided here for plain ASCII; the first paragraph's
    // style is the one the paste gave it, asked once.
    if (!mInLastPageCopy || !mLastPageCopy || mLastPageCopy->empty() || request.style.isEmpty() ||
        (!mLastPageChangedStyle.isEmpty() && mLastPageChangedStyle != request.style) ||
        !isPlainAscii(request.text)) {
        return false;
    }
    if (!mLastPageFirstStyle) {
        rtl::OUString first;
        mCursorProperties->getPropertyValue("ParaStyleName") >>= first;
        mLastPageFirstStyle = toQ(first);
    }
    const QString needle = caseBlind(request.text);
    for (std::size_t i = 0; i < mLastPageCopy->size(); ++i) {
        const CopiedText::Paragraph& paragraph = (*mLastPageCopy)[i];
        const QString& style = i == 0 ? *mLastPageFirstStyle : paragraph.style;
        if (style != request.style &&
            (!paragraph.plainAscii || paragraph.caseBlindText.contains(needle))) {
            return false;
        }
    }
    return true;
}

bool OfficeDocument::placedTextAfter(const Reference<css::text::XTextRange>& position)
{
    if (mPlaced.empty()) {
        return false;
    }
    Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
    if (!mPlacedEnd.is()) {
        for (const Placement& placement : mPlaced) {
            if (!mPlacedEnd.is() ||
                compare->compareRegionEnds(up<css::text::XTextRange>(mPlacedEnd),
                                           up<css::text::XTextRange>(placement.range)) > 0) {
                mPlacedEnd = placement.range;
            }
        }
    }
    // A search goes on from the end of the position; compareRegionEnds answers 1 when the first
    // range ends before the second.
    return compare->compareRegionEnds(position, up<css::text::XTextRange>(mPlacedEnd)) > 0;
}

bool OfficeDocument::overlapsPlacedText(const Reference<css::text::XTextRange>& match)
{
    Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
    for (Placement& placement : mPlaced) {
        if (!placement.start.is()) {
            placement.start = mText->createTextCursorByRange(placement.range->getStart());
            placement.end = mText->createTextCursorByRange(placement.range->getEnd());
        }
        // They overlap when each begins before the other ends. Text outside the body (a
        // header, say) cannot be compared with it and does not overlap it.
        try {
            if (compare->compareRegionStarts(match, up<css::text::XTextRange>(placement.end)) > 0 &&
                compare->compareRegionEnds(up<css::text::XTextRange>(placement.start), match) > 0) {
                return true;
            }
        } catch (const css::lang::IllegalArgumentException&) {
        }
    }
    return false;
}

} // namespace word
