#pragma once

#include "document_editing.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XJob.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

namespace word {

// A document's editor running inside the office (the library built from in_office/): a batch of
// commands is one call, and each step inside costs only the office's own work.
class InOfficeEditing final : public DocumentEditing
{
public:
    // Makes the editor known to one office. False when the library is not installed, or the
    // office would not take it; the documents are then edited over the pipe.
    static bool registerWith(
        const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office);
    // The editor for a document of an office it was registered with.
    InOfficeEditing(
        const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
        const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
        const QString& path);

    std::vector<EditOutcome> run(const std::vector<EditCommand>& commands) override;

    // Where the library's registration is looked for: beside the program, then in the build.
    static QString registrationFile();

private:
    com::sun::star::uno::Reference<com::sun::star::task::XJob> mJob;
};

} // namespace word
