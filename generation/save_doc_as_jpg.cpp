#include "save_doc_as_jpg.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "run_labels.h"
#include "temp_folder.h"
#include "word_automation.h"

#include <QBuffer>
#include <QImage>

#include <memory>

void SaveDocAsJPG(const QString& inFile)
{
    namespace label = picture_labels;
    ErrorTrap trap(identity::location(QStringLiteral("Form1"), QStringLiteral("SaveDocAsJPG")));
    const QString file = inFile;
    std::unique_ptr<word::Application> app;
    auto application = [&app]() -> word::Application& {
        if (!app) {
            throw AppError(QStringLiteral("The office instance is not running."));
        }
        return *app;
    };
    std::shared_ptr<word::Document> document;

    QImage picture;
    trap.step(label::kStartOffice, [&] { app = word::Application::create(); });
    trap.step(label::kOpenDocument, [&] { document = application().documents().Open(file); });
    trap.step(label::kTakePicture, [&] {
        if (!document) {
            throw AppError(QStringLiteral("No document is open to picture."));
        }
        picture = document->range()->CopyAsPicture();
    });
    trap.step(label::kCheckPicture, [&] {
        if (picture.isNull()) {
            throw AppError(QStringLiteral("There is no picture of the document to save."));
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
            throw AppError(QStringLiteral("The picture could not be encoded."));
        }
        // Whole or not at all; a link planted under the picture's name is replaced, never
        // written through.
        WriteFileReplacing(bytes, TempFolder::file(QStringLiteral("temp.bmp")));
    });
    trap.step(label::kCloseDocument, [&] {
        application().activeDocument()->Close(word::WdSaveOptions::DoNotSaveChanges);
    });
    trap.step(label::kQuitOffice, [&] { application().quit(); });
}
