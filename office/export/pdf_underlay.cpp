#include "pdf_underlay.h"

#include "word_automation.h"

#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

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
    try {
        // qpdf keeps the names' pointers until it is done: they must outlive it.
        const QByteArray sourceName = QFile::encodeName(source);
        const QByteArray targetName = QFile::encodeName(target);
        QPDF pdf;
        pdf.processFile(sourceName.constData());
        QPDFPageDocumentHelper document(pdf);
        std::vector<QPDFPageObjectHelper> pages = document.getAllPages();
        if (pages.size() < 2) {
            throw Error(QStringLiteral("The office wrote no pages."));
        }
        const QPDFObjectHandle art = pages.front().getFormXObjectForPage();
        for (size_t i = 1; i < pages.size(); ++i) {
            underlay(pages[i], art);
        }
        document.removePage(pages.front());
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
