#include "editing_choice.h"

#include "in_office_editing.h"
#include "notice.h"

#include <utility>

namespace word {

void EditingChoice::decide(const std::function<QString()>& registerEditor)
{
    using Requested = InOfficeEditing::Way;
    if (InOfficeEditing::requestedWay() == Requested::InProgram) {
        mWay = Way::InProgram;
        mWhy = QStringLiteral("TICKETWRIGHT_PAGE_LOOP=pipe asks for it");
        return;
    }
    const QString refused = registerEditor();
    if (refused.isEmpty()) {
        return;
    }
    if (InOfficeEditing::requestedWay() == Requested::InOffice) {
        throw Error(QStringLiteral("The editor cannot run inside the office: %1").arg(refused));
    }
    mWay = Way::InProgram;
    mWhy = refused;
}

std::unique_ptr<DocumentEditing> EditingChoice::makeEditor(
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
    const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
    const std::shared_ptr<CopiedText>& copied, const QString& path, pid_t pid)
{
    if (mWay != Way::InProgram) {
        try {
            auto editor = std::make_unique<InOfficeEditing>(office, model, path);
            mWay = Way::InOffice;
            tell(pid);
            return editor;
        } catch (const Error& failure) {
            if (InOfficeEditing::requestedWay() == InOfficeEditing::Way::InOffice) {
                throw;
            }
            // Only a saving: the same editor runs here instead, for this office's documents.
            mWay = Way::InProgram;
            mWhy = QString::fromUtf8(failure.what());
        }
    }
    tell(pid);
    return std::make_unique<DocumentEditor>(model, copied, path);
}

void EditingChoice::tell(pid_t pid)
{
    if (std::exchange(mTold, true)) {
        return;
    }
    if (mWay == Way::InOffice) {
        notice::line(QStringLiteral("office %1 edits its documents inside the office (%2)")
                         .arg(pid)
                         .arg(InOfficeEditing::registrationFile()));
    } else {
        notice::line(QStringLiteral("office %1 edits its documents from the program, over its "
                                    "pipe: %2")
                         .arg(pid)
                         .arg(mWhy));
    }
}

} // namespace word
