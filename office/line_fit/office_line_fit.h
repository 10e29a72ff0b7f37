#pragma once

#include "word_automation.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XText.hpp>

namespace word {

// Keeps every paragraph of a document's first page on one line, the way Document::FitTextToLines
// describes: widths come from the office's own font measure, script by script, and sizes are
// changed in the paragraph styles, so every copy of the page made afterwards carries them. A
// fixed number of calls for a page: one pass over its paragraphs, one measure per distinct text,
// one change per style, and one layout of the page (at most three more when it still runs on).
class OfficeLineFit
{
public:
    OfficeLineFit(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                  const com::sun::star::uno::Reference<com::sun::star::text::XText>& text);

    // keptClear: see Document::FitTextToLines.
    void run(const KeptClear& keptClear = {});

private:
    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
};

} // namespace word
