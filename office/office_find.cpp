#include "office_find.h"

#include "office_application.h"

namespace word {

bool OfficeFind::Execute(WdReplace replace)
{
    return mApp.watched([&] { return execute(replace); });
}

bool OfficeFind::execute(WdReplace replace)
{
    if (replace != WdReplace::All) {
        throw Error(QStringLiteral("Find.Execute supports only Replace = 2 (replace all)."));
    }
    if (!mRequest.forward || mRequest.matchCase || mRequest.matchWholeWord ||
        mRequest.matchWildcards || mRequest.matchSoundsLike || mRequest.matchAllWordForms) {
        throw Error(QStringLiteral("Find.Execute supports only forward, case-blind searches for "
                                   "plain text."));
    }
    // Without Format the style is not a condition, as in the word processor.
    FindRequest request = mRequest;
    if (!request.format) {
        request.style.clear();
    }
    return mApp.activeOfficeDocument()->replaceAll(request);
}

} // namespace word
