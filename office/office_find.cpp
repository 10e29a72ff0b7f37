#include "office_find.h"

#include "office_application.h"

namespace word {

bool OfficeFind::Execute(WdReplace replace)
{
    return app_.watched([&] { return execute(replace); });
}

bool OfficeFind::execute(WdReplace replace)
{
    if (replace != WdReplace::All) {
        throw Error(QStringLiteral("Find.Execute supports only Replace = 2 (replace all)."));
    }
    if (!request_.forward || request_.matchCase || request_.matchWholeWord ||
        request_.matchWildcards || request_.matchSoundsLike || request_.matchAllWordForms) {
        throw Error(QStringLiteral("Find.Execute supports only forward, case-blind searches for "
                                   "plain text."));
    }
    // Without Format the style is not a condition, as in the word processor.
    FindRequest request = request_;
    if (!request.format) {
        request.style.clear();
    }
    return app_.activeOfficeDocument()->replaceAll(request);
}

} // namespace word
