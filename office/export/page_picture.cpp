#include "page_picture.h"

#include "uno_support.h"
#include "word_automation.h"

#include <QDir>
#include <QFile>

namespace word {

namespace {

constexpr int kPictureWidth = 1200;
constexpr int kPictureDotsPerMeter = 7559; // 192 dpi

} // namespace

PagePicture::PagePicture(const QString& scratchFolder, const QString& documentPath)
    : mPng(QDir(scratchFolder).filePath(QStringLiteral("page.png"))), mDocumentPath(documentPath)
{}

QImage PagePicture::take(const std::function<void(const rtl::OUString& url)>& draw)
{
    QFile::remove(mPng);
    uno::guarded(QStringLiteral("Making a picture of \"%1\"").arg(mDocumentPath),
                 [&] { draw(uno::fileUrl(mPng)); });
    QImage picture(mPng);
    QFile::remove(mPng);
    if (picture.isNull()) {
        throw Error(
            QStringLiteral("The office made no readable picture of \"%1\".").arg(mDocumentPath));
    }
    picture = picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
    picture.setDotsPerMeterX(kPictureDotsPerMeter);
    picture.setDotsPerMeterY(kPictureDotsPerMeter);
    return picture;
}

} // namespace word
