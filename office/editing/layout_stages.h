#pragma once

#include "staged_layout.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XText.hpp>

#include <optional>

namespace word {

// When a document lays out its appended pages in stages: from the 20th page appended at the
// end, until anything reads, copies or stores the document. Below that, laying out at the end
// costs less than setting the stages up.
//
// A document expected to stay short is not laid out at all while it grows: its pages are saved
// without a layout, and a layout costs more per page than the pile of pages waiting for one
// slows each paste, up to about a thousand pages. Past that the pile would grow into the square
// of the pages, so a document that grows longer than expected is staged from there.
class LayoutStages
{
public:
    LayoutStages();
    // The document is about to grow to pages pages.
    void expectPages(int pages);
    // A page was appended at the end of the document.
    void pageAppended(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                      const com::sun::star::uno::Reference<com::sun::star::text::XText>& text);
    bool running() const { return mStaging.has_value(); }
    // Ends the stages, if any run: the pages are then laid out anew.
    void end();
    // Lets go of the office's objects without asking the office for anything.
    void abandon() { mStaging.reset(); }

private:
    std::optional<StagedLayout> mStaging;
    // Pages appended since the stages last ended.
    int mUnstagedPages = 0;
    int mStagedFrom;
};

} // namespace word
