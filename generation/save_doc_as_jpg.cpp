#include "save_doc_as_jpg.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "picture_in_advance.h"
#include "run_labels.h"
#include "word_automation.h"

#include <memory>

QImage SaveDocAsJPG(const QString& inFile, PictureInAdvance* advance)
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
    trap.step(label::kStartOffice,
              [&] { app = advance ? advance->takeApplication() : word::Application::create(); });
    trap.step(label::kOpenDocument, [&] {
        word::Application& office = application();
        document = advance ? advance->document() : office.documents().Open(file);
    });
    trap.step(label::kTakePicture, [&] {
        if (!document) {
            throw AppError(QStringLiteral("No document is open to picture."));
        }
        picture = advance ? advance->picture() : document->range()->CopyAsPicture();
    });
    trap.step(label::kCheckPicture, [&] {
        if (picture.isNull()) {
            throw AppError(QStringLiteral("There is no picture of the document to show."));
        }
    });
    trap.step(label::kCloseDocument, [&] {
        application().activeDocument()->Close(word::WdSaveOptions::DoNotSaveChanges);
    });
    trap.step(label::kQuitOffice, [&] { application().quit(); });
    return picture;
}
