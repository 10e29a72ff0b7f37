#include "pdf_export.h"

#include "call_progress.h"
#include "notice.h"
#include "page_styles.h"
#include "pdf_underlay.h"
#include "reporting_call.h"
#include "uno_support.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <rtl/ref.hxx>

namespace word {

using namespace word::uno;

namespace {

constexpr char kPlainStyle[] = "Ticketwright Pages Without Art";
constexpr qint64 kChunk = 1 << 20;

// Copies source to path through a file beside path that is renamed over it when complete.
void placeFile(const QString& source, const QString& path)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("The PDF could not be read back: %1").arg(in.errorString()));
    }
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    // Unbuffered, so that a failed write says why (a full disk, say) as it happens.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw Error(QStringLiteral("Cannot write file %1: %2").arg(path, out.errorString()));
    }
    const auto fail = [&] {
        const QString reason = out.errorString(); // before the cancel replaces it
        out.cancelWriting();
        throw Error(QStringLiteral("Cannot write file %1: %2").arg(path, reason));
    };
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            fail();
        }
        // A full disk first takes part of a write; the next one says why it takes no more.
        for (qint64 done = 0; done < chunk.size();) {
            const qint64 n = out.write(chunk.constData() + done, chunk.size() - done);
            if (n <= 0) {
                fail();
            }
            done += n;
        }
    }
    if (!out.commit()) {
        throw Error(QStringLiteral("Cannot write file %1: %2").arg(path, out.errorString()));
    }
}

// Takes the paragraph's own settings away, so that only its paragraph style counts.
void clearDirectFormatting(const Reference<css::beans::XPropertySet>& paragraph)
{
    Reference<css::beans::XPropertyState> states(paragraph, UNO_QUERY_THROW);
    const auto settings = paragraph->getPropertySetInfo()->getProperties();
    css::uno::Sequence<rtl::OUString> names(settings.getLength());
    for (sal_Int32 i = 0; i < settings.getLength(); ++i) {
        names.getArray()[i] = settings[i].Name;
    }
    const auto found = states->getPropertyStates(names);
    for (sal_Int32 i = 0; i < found.getLength(); ++i) {
        if (found[i] == css::beans::PropertyState_DIRECT_VALUE) {
            try {
                states->setPropertyToDefault(names[i]);
            } catch (const css::uno::Exception&) {
                // One that cannot go back to its default is not drawn by an empty paragraph.
            }
        }
    }
}

} // namespace

PdfExport::PdfExport(const Reference<css::frame::XModel>& model,
                     const Reference<css::text::XText>& text, const QString& scratchFolder)
    : mModel(model), mText(text), mScratchFolder(scratchFolder)
{}

void PdfExport::separateArt()
{
    const auto paragraphs =
        Reference<css::container::XEnumerationAccess>(mText, UNO_QUERY_THROW)->createEnumeration();
    Reference<css::beans::XPropertySet> first(paragraphs->nextElement(), UNO_QUERY_THROW);
    // The style the first paragraph asks for, else the one the layout gave it; a document that
    // has never been laid out knows only the former, or uses the default.
    rtl::OUString ownStyle;
    first->getPropertyValue("PageDescName") >>= ownStyle;
    if (ownStyle.isEmpty()) {
        first->getPropertyValue("PageStyleName") >>= ownStyle;
    }
    if (ownStyle.isEmpty()) {
        ownStyle = "Standard";
    }
    page_styles::addPlainCopy(mModel, ownStyle, kPlainStyle);

    // A new first paragraph, on a page of its own under the page style with the art; the text
    // that followed starts the next page, under the plain copy, and the rest follow it.
    mText->insertControlCharacter(mText->getStart(), css::text::ControlCharacter::PARAGRAPH_BREAK,
                                  false);
    const auto after =
        Reference<css::container::XEnumerationAccess>(mText, UNO_QUERY_THROW)->createEnumeration();
    Reference<css::beans::XPropertySet> artParagraph(after->nextElement(), UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> textParagraph(after->nextElement(), UNO_QUERY_THROW);
    textParagraph->setPropertyValue("PageDescName", Any(rtl::OUString(kPlainStyle)));
    // The empty paragraph draws nothing: no border or fill of the ticket it was split from.
    clearDirectFormatting(artParagraph);
    artParagraph->setPropertyValue("ParaStyleName", Any(rtl::OUString("Standard")));
    artParagraph->setPropertyValue("PageDescName", Any(ownStyle));
    settleStatistics();
}

// A changed document's word count is kept up to date while the office is idle, a few thousand
// characters at a time, and every such step walks all paragraphs again to find the next
// uncounted ones; its layout also counts each page it lays out. Over a long layout and export
// that costs a second or more. An export needs no count unless a page shows one (a field), and
// the office counts nothing for a document marked unchanged (nor for a status bar: its windows
// have none, OfficeProcess). Otherwise, or should the mark not take, it is asked for the count
// once: it then counts everything in one pass, and the background steps stop.
void PdfExport::settleStatistics()
{
    if (!holdsFields(mModel)) {
        try {
            const Reference<css::util::XModifiable> modifiable(mModel, UNO_QUERY_THROW);
            modifiable->setModified(false);
            if (!modifiable->isModified()) {
                return;
            }
            notice::line(QStringLiteral("the office keeps the document marked as changed: its "
                                        "words are counted before the export"));
        } catch (const css::uno::Exception& e) {
            notice::line(QStringLiteral("the document could not be marked unchanged (%1): its "
                                        "words are counted before the export")
                             .arg(toQ(e.Message)));
        }
    }
    Reference<css::beans::XPropertySet>(mModel, UNO_QUERY_THROW)->getPropertyValue("WordCount");
}

void PdfExport::exportPages(const QString& file, const ProgressHandler& progress)
{
    const auto filterData = properties({
        {"EmbedStandardFonts", Any(true)},
        {"UseTaggedPDF", Any(false)},
        {"ExportNotes", Any(false)},
        {"ExportBookmarks", Any(false)},
        {"ExportFormFields", Any(false)},
        {"IsSkipEmptyPages", Any(false)},
        {"IsAddStream", Any(false)},
        // Pictures as they are: a logo's edges stay sharp, and one prepared for print is not
        // scaled down again.
        {"UseLosslessCompression", Any(true)},
        {"ReduceImageResolution", Any(false)},
    });
    // The export reports each page it writes; laying the pages out first tells nothing.
    rtl::Reference<CallProgress> indicator(new CallProgress);
    const Reference<css::frame::XStorable> storable(mModel, UNO_QUERY_THROW);
    reportingCall(progress, &indicator->percent(), [&] {
        storable->storeToURL(
            fileUrl(file),
            properties({
                {"FilterName", Any(rtl::OUString("writer_pdf_Export"))},
                {"FilterData", Any(filterData)},
                {"StatusIndicator", Any(Reference<css::task::XStatusIndicator>(indicator.get()))},
                {"Overwrite", Any(true)},
            }));
    });
}

void PdfExport::write(const QString& path, const FixedFormatOptions& options)
{
    const QDir scratch(mScratchFolder);
    const QString pages = scratch.filePath(QStringLiteral("pages.pdf"));
    const QString joined = scratch.filePath(QStringLiteral("joined.pdf"));
    const auto removeScratch = [&] {
        QFile::remove(pages);
        QFile::remove(joined);
    };
    try {
        exportPages(pages, options.progress);
        joinParts({{pages, 0, 0}}, joined, options);
        place(joined, path);
    } catch (...) {
        removeScratch();
        throw;
    }
    removeScratch();
}

void PdfExport::joinParts(const std::vector<PdfUnderlay::Part>& parts, const QString& joined,
                          const FixedFormatOptions& options)
{
    // qpdf's work takes a moment for thousands of pages; the events run meanwhile.
    static const std::atomic<int> kDone{100};
    reportingCall(options.progress, &kDone, [&] {
        PdfUnderlay({options.title, options.subject, options.creator}).run(parts, joined);
    });
}

void PdfExport::place(const QString& file, const QString& path)
{
    placeFile(file, path);
}

} // namespace word
