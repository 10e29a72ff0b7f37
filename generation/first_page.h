#pragma once

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class PictureInAdvance;

namespace word {
class Document;
}

// The preview pictures the first page, which the pages added later leave as it is. Saved alone,
// before the others are added, it is read and drawn in a moment, where the whole document would
// first be read and laid out page by page; its picture is begun at once, while the pages are
// added. Without it the picture is made from the whole document, as good if slower, so a failure
// here is no failure of the run. A field (a page count, say) could show otherwise on the first
// page alone, so a document with fields is pictured whole.
class FirstPage
{
public:
    FirstPage();
    ~FirstPage();

    // Saves the document as it is now, as the first page; gives up quietly on any failure.
    void save(word::Document& document);
    // The preview's picture: of the first page when it was saved, else of the whole document.
    // Reports as the picture procedure does.
    QImage picture(const QString& wholeDocument);
    // Removes the saved page; for a run that ends early, once no office writes it.
    void remove();

private:
    std::unique_ptr<QTemporaryDir> mFolder;
    QString mPath;
    // Goes before the file it reads.
    std::unique_ptr<PictureInAdvance> mPictureInAdvance;
};
