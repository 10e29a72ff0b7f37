#include "pdf_underlay.h"

#include "word_automation.h"

#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <exception>
#include <memory>

namespace word {

namespace {

// Puts form under the page's own content. The page's resources get the form under one name;
// resources shared with other pages get the same entry only once.
void underlay(QPDFPageObjectHelper& page, QPDFObjectHandle form)
{
    QPDFObjectHandle resources = page.getAttribute("/Resources", true);
    if (!resources.isDictionary()) {
        resources = page.getObjectHandle().replaceKeyAndGetNew("/Resources",
                                                               QPDFObjectHandle::newDictionary());
    }
    resources.mergeResources(QPDFObjectHandle::parse("<< /XObject << >> >>"));
    QPDFObjectHandle xobjects = resources.getKey("/XObject");
    std::string name = "/TwArt";
    if (xobjects.hasKey(name) && xobjects.getKey(name).getObjGen() != form.getObjGen()) {
        int suffix = 0;
        name = resources.getUniqueResourceName("/TwArt", suffix);
    }
    xobjects.replaceKey(name, form);
    const std::string content =
        page.placeFormXObject(form, name, page.getTrimBox().getArrayAsRectangle());
    page.addPageContents(
        QPDFObjectHandle::newStream(page.getObjectHandle().getOwningQPDF(), content), true);
}

void setInformation(QPDF& pdf, const PdfUnderlay::Information& information)
{
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    const auto put = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            info.replaceKey(key, QPDFObjectHandle::newUnicodeString(value.toStdString()));
        }
    };
    put("/Title", information.title);
    put("/Subject", information.subject);
    put("/Creator", information.creator);
}

} // namespace

PdfUnderlay::PdfUnderlay(Information information) : mInformation(std::move(information)) {}

void PdfUnderlay::run(const QString& source, const QString& target) const
{
    run(std::vector<Part>{{source, 0, 0}}, target);
}

void PdfUnderlay::run(const std::vector<Part>& parts, const QString& target) const
{
    try {
        // qpdf keeps the names' pointers, and a joined page the file it came from, until it is
        // done: they must outlive it.
        std::vector<QByteArray> names;
        std::vector<std::unique_ptr<QPDF>> files;
        const QByteArray targetName = QFile::encodeName(target);
        QPDFObjectHandle art;
        for (const Part& part : parts) {
            names.push_back(QFile::encodeName(part.file));
            files.push_back(std::make_unique<QPDF>());
            QPDF& pdf = *files.back();
            pdf.processFile(names.back().constData());
            QPDFPageDocumentHelper document(pdf);
            std::vector<QPDFPageObjectHelper> pages = document.getAllPages();
            const std::size_t first = 1 + static_cast<std::size_t>(std::max(0, part.blankPages));
            if (pages.size() <= first) {
                throw Error(QStringLiteral("The office wrote no pages."));
            }
            if (part.pages > 0 && pages.size() - first != static_cast<std::size_t>(part.pages)) {
                throw Error(QStringLiteral("The office wrote %1 pages where %2 were asked for.")
                                .arg(pages.size() - first)
                                .arg(part.pages));
            }
            if (files.size() == 1) {
                art = pages.front().getFormXObjectForPage();
                for (std::size_t i = first; i < pages.size(); ++i) {
                    underlay(pages[i], art);
                }
                for (std::size_t i = 0; i < first; ++i) {
                    document.removePage(pages[i]);
                }
            } else {
                // Every part draws the same art: the first part's serves them all, so that a
                // picture in it is stored once in the whole file.
                QPDF& joined = *files.front();
                QPDFPageDocumentHelper joinedPages(joined);
                for (std::size_t i = first; i < pages.size(); ++i) {
                    QPDFPageObjectHelper page(joined.copyForeignObject(pages[i].getObjectHandle()));
                    underlay(page, art);
                    joinedPages.addPage(page, false);
                }
            }
        }
        if (files.empty()) {
            throw Error(QStringLiteral("The office wrote no pages."));
        }
        QPDF& pdf = *files.front();
        setInformation(pdf, mInformation);
        QPDFWriter writer(pdf, targetName.constData());
        // Object streams keep the file small: the pages are many and alike.
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error(QStringLiteral("The PDF could not be put together: %1")
                        .arg(QString::fromLocal8Bit(e.what())));
    }
}

} // namespace word
