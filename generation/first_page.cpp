#include "first_page.h"

#include "picture_in_advance.h"
#include "save_doc_as_jpg.h"
#include "temp_folder.h"
#include "word_automation.h"
#include "working_files.h"

#include <exception>

FirstPage::FirstPage() = default;

FirstPage::~FirstPage()
{
    remove();
}

void FirstPage::save(word::Document& document)
{
    try {
        if (document.HasFields()) {
            return;
        }
        mFolder =
            std::make_unique<QTemporaryDir>(temp_folder::file(QStringLiteral("first-page-XXXXXX")));
        if (!mFolder->isValid()) {
            mFolder.reset();
            return;
        }
        working_files::addFolder(mFolder->path());
        const QString path = mFolder->filePath(QStringLiteral("first-page.doc"));
        document.SaveAs(path);
        mPath = path;
        if (PictureInAdvance::enabled()) {
            mPictureInAdvance = std::make_unique<PictureInAdvance>(path);
        }
    } catch (const std::exception&) {
        mPath.clear();
    }
}

QImage FirstPage::picture(const QString& wholeDocument)
{
    return mPath.isEmpty() ? SaveDocAsJPG(wholeDocument)
                           : SaveDocAsJPG(mPath, mPictureInAdvance.get());
}

void FirstPage::remove()
{
    mPictureInAdvance.reset();
    if (mFolder) {
        working_files::forget(mFolder->path());
    }
    mFolder.reset();
    mPath.clear();
}
