#include "office_document.h"

#include "document_store.h"
#include "document_window.h"
#include "header_pictures.h"
#include "notice.h"
#include "office_application.h"
#include "office_range.h"
#include "page_picture.h"
#include "pdf_export.h"
#include "pdf_in_parts.h"
#include "reporting_call.h"
#include "selection_copy.h"
#include "uno_support.h"
#include "word_store.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <algorithm>

namespace word {

using namespace word::uno;

namespace {

// A document with more pages pasted into it than this (any, that is) is saved without its window
// and is not closed in the office. Laying its pages out again in the window, header art and all,
// before the save, and tearing its layout down at the close, cost more than the pages did: a
// tenth of a second at 20 pages, minutes at 10,000; ending the office process at quit frees it at
// once, and the office keeps no lock file for it.
constexpr int kPastedPagesSavedInWindow = 0;

} // namespace

OfficeDocument::OfficeDocument(OfficeApplication& app, const Reference<css::frame::XModel>& model,
                               const QString& path, std::unique_ptr<DocumentEditing> editor)
    : mApp(app), mPath(path), mModel(model), mEditor(std::move(editor))
{
    guarded(QStringLiteral("Opening \"%1\"").arg(path), [&] {
        mText = Reference<css::text::XTextDocument>(mModel, UNO_QUERY_THROW)->getText();
        mReplaceable.set(mModel, UNO_QUERY_THROW);
        mWindow.emplace(mModel, [this] { edit(EditCommand::of(EditCommand::Kind::ViewChanged)); });
        // Nothing here is ever undone; undo records of thousands of pastes and replacements
        // would only pile up in the office's memory.
        Reference<css::document::XUndoManagerSupplier>(mModel, UNO_QUERY_THROW)
            ->getUndoManager()
            ->lock();
    });
}

OfficeDocument::~OfficeDocument() = default;

OfficeApplication& OfficeDocument::app() const
{
    // A document is abandoned when its office ends: from then on it never reaches the office.
    requireOpen();
    return mApp;
}

void OfficeDocument::requireOpen() const
{
    if (closed()) {
        throw Error(QStringLiteral("The document \"%1\" has been closed.").arg(mPath));
    }
}

void OfficeDocument::endWithEmptyParagraph()
{
    guarded(QStringLiteral("Opening \"%1\"").arg(mPath), [&] {
        const auto end = mText->createTextCursorByRange(mText->getEnd());
        if (!Reference<css::text::XParagraphCursor>(end, UNO_QUERY_THROW)->isStartOfParagraph()) {
            mText->insertControlCharacter(up<css::text::XTextRange>(end),
                                          css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        }
    });
}

void OfficeDocument::abandon()
{
    mReadAhead.reset();
    mEditor.reset();
    mWindow.reset();
    mReplaceable.clear();
    mText.clear();
    mModel.clear();
}

void OfficeDocument::endStaging()
{
    edit(EditCommand::of(EditCommand::Kind::EndStaging));
}

std::vector<EditOutcome> OfficeDocument::edit(const std::vector<EditCommand>& commands)
{
    requireOpen();
    using Kind = EditCommand::Kind;
    const bool needsView = std::any_of(commands.begin(), commands.end(), [](const auto& command) {
        return command.kind != Kind::EndStaging && command.kind != Kind::PastedPages &&
               command.kind != Kind::ViewChanged && command.kind != Kind::Statistics &&
               command.kind != Kind::ExpectPages && command.kind != Kind::Fail;
    });
    if (needsView) {
        giveViewBack();
    }
    return mEditor->run(commands);
}

int OfficeDocument::edit(const EditCommand& command)
{
    const EditOutcome outcome = edit(std::vector<EditCommand>{command}).front();
    if (outcome.failed) {
        throw Error(outcome.description);
    }
    return outcome.value;
}

void OfficeDocument::requireView()
{
    if (!mWindow->opened()) {
        throw Error(QStringLiteral("The document \"%1\" was opened invisible, without a window to "
                                   "select in.")
                        .arg(mPath));
    }
    giveViewBack();
}

void OfficeDocument::giveViewBack()
{
    if (!mWindow->aside()) {
        return;
    }
    guarded(QStringLiteral("Opening a window on \"%1\"").arg(mPath),
            [&] { mWindow->giveBack([&] { app().attachHiddenWindow(mModel); }); });
}

void OfficeDocument::SaveAs(const QString& path)
{
    try {
        app().watched([&] { save(path); });
    } catch (...) {
        if (!closed()) {
            mApp.removeSaveLeftovers(path);
        }
        throw;
    }
}

void OfficeDocument::save(const QString& path)
{
    requireOpen();
    DocumentStore(path).store([&](const rtl::OUString& url) {
        // The window goes first: the Word export lays the whole document out when it has one,
        // and ending the stages in it would lay every page out again with its header art, only
        // for the window to be closed (1.4 s at 4,000 pages, growing faster).
        if (mWindow->opened() &&
            edit(EditCommand::of(EditCommand::Kind::PastedPages)) > kPastedPagesSavedInWindow) {
            mWindow->putAside();
        }
        endStaging();
        WordStore::store(mModel, url, path, countsKnownWithoutOffice(), app().progress());
    });
}

// A document without a window has no layout, and its saved statistics have no page count: the
// rest the editor may know.
std::optional<DocumentCounts> OfficeDocument::countsKnownWithoutOffice()
{
    if (qEnvironmentVariable("TICKETWRIGHT_SAVE_COUNTS") == QLatin1String("office") ||
        mModel->getCurrentController().is()) {
        return std::nullopt;
    }
    // Words, characters, paragraphs: one round trip.
    std::vector<EditCommand> commands(3, EditCommand::of(EditCommand::Kind::Statistics));
    for (int which = 0; which < 3; ++which) {
        commands[which].count = which;
    }
    const std::vector<EditOutcome> values = edit(commands);
    if (std::any_of(values.begin(), values.end(),
                    [](const EditOutcome& value) { return value.failed || value.value < 0; })) {
        return std::nullopt;
    }
    return DocumentCounts{values[0].value, values[1].value, values[2].value};
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
    switch (PdfInParts::write(*this, std::move(mReadAhead), target.absoluteFilePath(), options)) {
    case PdfInParts::Outcome::Written:
        return;
    case PdfInParts::Outcome::NotTried:
        exportWhole(target.absoluteFilePath(), options);
        return;
    case PdfInParts::Outcome::FailedAfterDividing:
        // This document lost pages on the way; the whole one is read again.
        std::dynamic_pointer_cast<OfficeDocument>(app().documents().Open(mPath, true, false))
            ->exportWhole(target.absoluteFilePath(), options);
        return;
    }
}

void OfficeDocument::exportWhole(const QString& path, const FixedFormatOptions& options)
{
    app().watched([&] {
        requireOpen();
        guarded(QStringLiteral("Exporting \"%1\" as PDF").arg(mPath), [&] {
            PdfExport pdf = prepareExport(options.progress);
            pdf.write(path, options);
            mWindow->lock();
        });
    });
}

void OfficeDocument::exportPages(const QString& file, const ProgressHandler& progress)
{
    app().watched([&] {
        requireOpen();
        guarded(QStringLiteral("Exporting \"%1\" as PDF").arg(mPath), [&] {
            PdfExport pdf = prepareExport(progress);
            pdf.exportPages(file, progress);
            mWindow->lock();
        });
    });
}

PdfExport OfficeDocument::prepareExport(const ProgressHandler& progress)
{
    endStaging();
    // Made while nothing is laid out; the export then lays the pages out once.
    PdfExport pdf(mModel, mText, app().scratchFolder());
    pdf.separateArt();
    // A window for the export, and the pages laid out in it: seconds for a long document,
    // with no report from the office, while the caller's events go on.
    reportingCall(progress, nullptr, [&] {
        giveViewBack();
        if (!mModel->getCurrentController().is()) {
            app().attachHiddenWindow(mModel);
        }
        mWindow->showPages();
    });
    return pdf;
}

bool OfficeDocument::divisible()
{
    return app().watched([&] {
        requireOpen();
        return guarded(QStringLiteral("Looking at \"%1\"").arg(mPath), [&] {
            // Read from its file and never laid out, so that another office reading the same
            // file has the same document, and cutting it costs no layout; nothing numbered
            // across pages (page numbers, footnotes), which a part would number anew.
            const auto none = [](const Reference<css::container::XIndexAccess>& notes) {
                return !notes.is() || notes->getCount() == 0;
            };
            // Cutting it walks every paragraph: over the pipe, that would cost more than it saves.
            return editsInsideOffice() && !mWindow->opened() &&
                   !mModel->getCurrentController().is() &&
                   !Reference<css::util::XModifiable>(mModel, UNO_QUERY_THROW)->isModified() &&
                   !holdsFields(mModel) &&
                   none(Reference<css::text::XFootnotesSupplier>(mModel, UNO_QUERY_THROW)
                            ->getFootnotes()) &&
                   none(Reference<css::text::XEndnotesSupplier>(mModel, UNO_QUERY_THROW)
                            ->getEndnotes());
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
    app().watched([&] { close(); });
}

void OfficeDocument::close()
{
    requireOpen();
    mReadAhead.reset();
    const auto self = shared_from_this();
    bool leaveInOffice = true; // an office that cannot tell is asked nothing more
    try {
        leaveInOffice =
            edit(EditCommand::of(EditCommand::Kind::PastedPages)) > kPastedPagesSavedInWindow;
    } catch (const Error&) {
    }
    if (!leaveInOffice) {
        guarded(QStringLiteral("Closing \"%1\"").arg(mPath),
                [&] { Reference<css::util::XCloseable>(mModel, UNO_QUERY_THROW)->close(true); });
    }
    abandon();
    mApp.forget(this);
}

std::unique_ptr<Range> OfficeDocument::range()
{
    requireOpen();
    return std::make_unique<OfficeRange>(shared_from_this());
}

void OfficeDocument::FitTextToLines(const KeptClear& keptClear)
{
    app().watched([&] {
        requireOpen();
        requireView(); // the office's font metrics come from the window
        EditCommand fit = EditCommand::of(EditCommand::Kind::FitTextToLines);
        fit.keptClear = keptClear;
        edit(fit);
    });
}

void OfficeDocument::FillPictureBoxes(const QString& boxName, const QByteArray& picture)
{
    app().watched([&] {
        requireOpen();
        guarded(QStringLiteral("Placing the picture"),
                [&] { HeaderPictures(mModel, app().context()).fill(boxName, picture); });
    });
}

bool OfficeDocument::HasFields()
{
    return app().watched([&] {
        requireOpen();
        return guarded(QStringLiteral("Looking for fields"), [&] { return holdsFields(mModel); });
    });
}

void OfficeDocument::ExpectPages(int pages)
{
    try {
        app().watched([&] {
            EditCommand hint = EditCommand::of(EditCommand::Kind::ExpectPages);
            hint.count = pages;
            edit(hint);
        });
    } catch (const std::exception& e) {
        // Only a hint: the pages are laid out as they would be without it.
        notice::line(QStringLiteral("the office was not told how long \"%1\" will grow: %2")
                         .arg(mPath, QString::fromUtf8(e.what())));
    }
}

// Read as the pages were laid out while being added: the stages change only which page style the
// pages show, never the text, and ending them lays the whole document out anew.
OfficeDocument::Contents OfficeDocument::forReading()
{
    requireOpen();
    return {mText, mReplaceable};
}

QImage OfficeDocument::firstPagePicture()
{
    requireOpen();
    return PagePicture(app().scratchFolder(), mPath).take([&](const rtl::OUString& url) {
        drawFirstPageTo(url);
    });
}

void OfficeDocument::drawFirstPageTo(const rtl::OUString& url)
{
    giveViewBack();
    endStaging();
    // The picture filter draws the page the view is on, and needs the layout to do so.
    mWindow->showPages();
    Reference<css::text::XTextViewCursorSupplier> views(mModel->getCurrentController(),
                                                        UNO_QUERY_THROW);
    Reference<css::text::XPageCursor> page(views->getViewCursor(), UNO_QUERY_THROW);
    page->jumpToFirstPage();
    // The file is read back at once and removed: the least compression is the quickest to make
    // (about 30 ms less than the default at a page), and the pixels are the same at any.
    Reference<css::frame::XStorable>(mModel, UNO_QUERY_THROW)
        ->storeToURL(url, properties({{"FilterName", Any(rtl::OUString("writer_png_Export"))},
                                      {"FilterData",
                                       Any(properties({{"Compression", Any(sal_Int32(1))}}))}}));
    mWindow->lock();
}

} // namespace word
