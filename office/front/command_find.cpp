#include "command_find.h"

#include "command_front.h"

namespace word {

bool CommandFind::Execute(WdReplace replace)
{
    EditCommand command;
    if (replace != WdReplace::All) {
        command.failure = QStringLiteral("Find.Execute supports only Replace = 2 (replace all).");
    } else if (!mRequest.forward || mRequest.matchCase || mRequest.matchWholeWord ||
               mRequest.matchWildcards || mRequest.matchSoundsLike || mRequest.matchAllWordForms) {
        command.failure = QStringLiteral("Find.Execute supports only forward, case-blind "
                                         "searches for plain text.");
    } else {
        command.kind = EditCommand::Kind::Replace;
        command.request = mRequest;
        // Without Format the style is not a condition, as in the word processor.
        if (!command.request.format) {
            command.request.style.clear();
        }
    }
    return mFront.edit(command) != 0;
}

} // namespace word
