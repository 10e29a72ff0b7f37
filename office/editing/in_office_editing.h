#pragma once

#include "document_editing.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XJob.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

namespace word {

// A document's editor running inside the office (the library built from in_office/ beside this
// file): a batch of commands is one call, and each step inside costs only the office's own work.
// Only a saving: when it cannot be had, the same editor runs in the program (DocumentEditor).
class InOfficeEditing final : public DocumentEditing
{
public:
    // How an office edits its documents, chosen per office by TICKETWRIGHT_PAGE_LOOP: "pipe"
    // always in the program, "office" always inside the office (a failure to make the editor
    // is then an error), anything else inside the office when it can be.
    enum class Way
    {
        Preferred,
        InProgram,
        InOffice
    };
    static Way requestedWay();

    // Makes the editor known to one office and has it load the library; the reason it could not
    // be, or empty. An office that dies or hangs as it loads the library is left so.
    static QString registerWith(
        const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office);
    // The editor for a document of an office it was registered with, answering a first empty
    // batch. Throws word::Error when it cannot be made, with the reason.
    InOfficeEditing(
        const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
        const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
        const QString& path);

    std::vector<EditOutcome> run(const std::vector<EditCommand>& commands) override;
    bool insideOffice() const override { return true; }

    // Where the library's registration is: TICKETWRIGHT_EDITOR_REGISTRATION, else beside the
    // program, else (for a program run from its build tree only) in the build. Empty when none.
    static QString registrationFile();

private:
    com::sun::star::uno::Reference<com::sun::star::task::XJob> mJob;
};

} // namespace word
