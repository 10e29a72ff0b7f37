#pragma once

#include <QByteArray>
#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace word {

// Puts one picture into the boxes a page header's art keeps for it (Document::FillPictureBoxes).
// The picture is read by the office once and every box shows that one graphic, so the document
// stores it once however many boxes there are and however many pages repeat the header.
class HeaderPictures
{
public:
    HeaderPictures(
        const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
        const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& context);

    // Returns how many boxes took the picture.
    int fill(const QString& boxName, const QByteArray& picture);

private:
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> mContext;
};

} // namespace word
