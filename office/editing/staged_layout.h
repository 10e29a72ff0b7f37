#pragma once

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XText.hpp>

namespace word {

// Lays a growing document out while pages are appended, in stages, so that each new page lands
// behind pages that are already placed. Left to the end, every appended page would wait in the
// first page's body, and each one added or laid out would walk all those behind it: pastes and
// the save would grow with the square of the pages.
//
// A header that carries drawings is attached again to every laid-out page each time a page is
// added, which would make the stages themselves grow. So while the stages last, the pages use a
// plain copy of their page style whose header has the same paragraphs but nothing drawn; at the
// end the pages get their own style back and the office lays them out once more. The document's
// content is never touched: only which page style its first paragraph asks for, put back as it
// was.
class StagedLayout
{
public:
    StagedLayout(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                 const com::sun::star::uno::Reference<com::sun::star::text::XText>& text);

    // One more page appended: every few pages the office lays out the new ones.
    void pageAdded();
    // The pages' own style back, the plain copy gone. Called once, before anything that stores,
    // exports or draws the document or fits its lines; reading its text or looking for fields
    // does not need it, since the stages change only which page style the pages show.
    void finish();

private:
    void layOut();

    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::beans::XPropertySet> mFirstParagraph;
    // What the first paragraph asked for before: a page style of its own, or none.
    com::sun::star::uno::Any mOwnPageStyle;
    bool mHadOwnPageStyle = false;
    int mPagesSinceLayout = 0;
};

} // namespace word
