#include "staged_layout.h"

#include "page_styles.h"
#include "uno_support.h"

#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>

namespace word {

using namespace word::uno;

namespace {

// A stage lays out this many new pages: few enough that the pages waiting for it stay cheap to
// walk, enough that the calls to start it cost little per page.
constexpr int kPagesPerStage = 50;

constexpr char kPlainStyle[] = "Ticketwright Plain Pages";

Reference<css::beans::XPropertySet> firstParagraph(const Reference<css::text::XText>& text)
{
    return Reference<css::beans::XPropertySet>(
        Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)
            ->createEnumeration()
            ->nextElement(),
        UNO_QUERY_THROW);
}

} // namespace

StagedLayout::StagedLayout(const Reference<css::frame::XModel>& model,
                           const Reference<css::text::XText>& text)
    : mModel(model), mFirstParagraph(firstParagraph(text))
{
    rtl::OUString pageStyle;
    mFirstParagraph->getPropertyValue("PageStyleName") >>= pageStyle;
    page_styles::addPlainCopy(mModel, pageStyle, kPlainStyle);
    try {
        mHadOwnPageStyle =
            Reference<css::beans::XPropertyState>(mFirstParagraph, UNO_QUERY_THROW)
                ->getPropertyState("PageDescName") == css::beans::PropertyState_DIRECT_VALUE;
        mOwnPageStyle = mFirstParagraph->getPropertyValue("PageDescName");
        mFirstParagraph->setPropertyValue("PageDescName", Any(rtl::OUString(kPlainStyle)));
    } catch (...) {
        page_styles::all(mModel)->removeByName(kPlainStyle);
        throw;
    }
}

void StagedLayout::pageAdded()
{
    if (++mPagesSinceLayout >= kPagesPerStage) {
        layOut();
    }
}

void StagedLayout::layOut()
{
    mPagesSinceLayout = 0;
    // Asking the view for its page count lays out every page; locked controllers hold it back.
    mModel->unlockControllers();
    try {
        Reference<css::beans::XPropertySet>(mModel->getCurrentController(), UNO_QUERY_THROW)
            ->getPropertyValue("PageCount");
    } catch (...) {
        mModel->lockControllers();
        throw;
    }
    mModel->lockControllers();
}

void StagedLayout::finish()
{
    if (mHadOwnPageStyle) {
        mFirstParagraph->setPropertyValue("PageDescName", mOwnPageStyle);
    } else {
        Reference<css::beans::XPropertyState>(mFirstParagraph, UNO_QUERY_THROW)
            ->setPropertyToDefault("PageDescName");
    }
    page_styles::all(mModel)->removeByName(kPlainStyle);
}

} // namespace word
