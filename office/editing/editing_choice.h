#pragma once

#include "document_editor.h"

#include <QString>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <memory>
#include <sys/types.h>

namespace word {

// Whether one office edits its documents itself (InOfficeEditing) or from the program over its
// pipe (DocumentEditor): decided when it connects and at its first document, and told once on
// standard error. The way inside the office is only a saving: when it cannot be had, the same
// editor runs in the program and gives the same document.
class EditingChoice
{
public:
    // At connection: registerEditor registers the editor with the office and gives the reason
    // it was refused, or an empty text. Throws only when the way inside the office is demanded
    // (TICKETWRIGHT_PAGE_LOOP=office) and refused.
    void decide(const std::function<QString()>& registerEditor);
    // The editor of a document just opened in the office with process id pid.
    std::unique_ptr<DocumentEditing>
    makeEditor(const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
               const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
               const std::shared_ptr<CopiedText>& copied, const QString& path, pid_t pid);

private:
    void tell(pid_t pid);

    enum class Way
    {
        Undecided,
        InOffice,
        InProgram
    };
    Way mWay = Way::Undecided;
    QString mWhy;
    bool mTold = false;
};

} // namespace word
