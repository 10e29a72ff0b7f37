#pragma once

#include <QImage>
#include <QString>

#include <rtl/ustring.hxx>

#include <functional>

namespace word {

// A picture of a document's first page, as the preview shows it: 1200 pixels across at 192
// pixels per inch, so 6.25 inches (9000 twips). The office draws it into a file of a private
// scratch folder, which is read and removed.
class PagePicture
{
public:
    PagePicture(const QString& scratchFolder, const QString& documentPath);
    // draw stores the first page as PNG at the URL it is given.
    QImage take(const std::function<void(const rtl::OUString& url)>& draw);

private:
    QString mPng;
    QString mDocumentPath;
};

} // namespace word
