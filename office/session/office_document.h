#pragma once

#include "document_editing.h"
#include "document_window.h"
#include "page_statistics.h"
#include "pdf_export.h"
#include "pdf_in_parts.h"
#include "word_automation.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XReplaceable.hpp>

#include <memory>
#include <optional>
#include <vector>

namespace word {

class OfficeApplication;

// A text document open in the office. Its controllers stay locked while it is edited: the office
// then lays out nothing between calls. What the Selection and Find do to it, its editor does
// (DocumentEditor, inside the office when it can). The Document calls go through the
// application's watched(); the others are parts of the Selection's, Find's and Range's calls,
// which already do.
class OfficeDocument : public Document, public std::enable_shared_from_this<OfficeDocument>
{
public:
    OfficeDocument(OfficeApplication& app,
                   const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                   const QString& path, std::unique_ptr<DocumentEditing> editor);
    ~OfficeDocument() override;

    void SaveAs(const QString& path) override;
    void ExportAsFixedFormat(const QString& path, WdExportFormat format,
                             const FixedFormatOptions& options) override;
    void Close() override;
    void Close(WdSaveOptions saveChanges) override;
    std::unique_ptr<Range> range() override;
    void FitTextToLines(const KeptClear& keptClear) override;
    void FillPictureBoxes(const QString& boxName, const QByteArray& picture) override;
    bool HasFields() override;
    void ExpectPages(int pages) override;

    bool closed() const { return !mModel.is(); }
    const QString& path() const { return mPath; }
    // Its office; throws once the document is closed, or was abandoned when its office ended.
    OfficeApplication& app() const;
    // Lets go of the office's objects without asking the office for anything.
    void abandon();
    // A document to be filled and copied page by page ends in an empty paragraph, as the
    // template does: a copy of it pasted at the end then leaves the empty paragraph that
    // TypeBackspace removes, and no text placed at its end grows with the pastes.
    void endWithEmptyParagraph();

    // What the Selection and Find do, on this document, in order; see DocumentEditing::run.
    std::vector<EditOutcome> edit(const std::vector<EditCommand>& commands);
    // One of them, whose failure throws; its value.
    int edit(const EditCommand& command);
    QImage firstPagePicture();
    // Whether another office reading this document's file would have it as it stands, and
    // parts of it would draw as they do in the whole (for an export in parts).
    bool divisible();
    // The same file, read by a second office for an export in parts.
    void readAhead(std::unique_ptr<PdfInParts::ReadAhead> ahead) { mReadAhead = std::move(ahead); }
    // Whether its editing commands run inside the office.
    bool editsInsideOffice() const { return mEditor && mEditor->insideOffice(); }
    // The pages as the office draws them, the art page first, in file (see PdfExport).
    void exportPages(const QString& file, const ProgressHandler& progress);
    // Throws unless the document has a window: an invisible one cannot be selected in, nor its
    // paragraphs found by their style. A window put aside for a save is given back here.
    void requireView();
    // Its text, to be read as it stands.
    struct Contents
    {
        com::sun::star::uno::Reference<com::sun::star::text::XText> text;
        com::sun::star::uno::Reference<com::sun::star::util::XReplaceable> replaceable;
    };
    Contents forReading();

private:
    void exportWhole(const QString& path, const FixedFormatOptions& options);
    PdfExport prepareExport(const ProgressHandler& progress);
    void save(const QString& path);
    std::optional<DocumentCounts> countsKnownWithoutOffice();
    void close();
    void drawFirstPageTo(const rtl::OUString& url);
    void requireOpen() const;
    // A window put aside for a store, given back.
    void giveViewBack();
    // Before anything that reads, copies or stores the document.
    void endStaging();

    OfficeApplication& mApp;
    QString mPath;
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
    com::sun::star::uno::Reference<com::sun::star::util::XReplaceable> mReplaceable;
    std::unique_ptr<DocumentEditing> mEditor;
    std::unique_ptr<PdfInParts::ReadAhead> mReadAhead;
    // Set once the document is open; gone with the office's objects.
    std::optional<DocumentWindow> mWindow;
};

} // namespace word
