#include "office_selection.h"

#include "office_application.h"

namespace word {

void OfficeSelection::WholeStory()
{
    mApp.watched([&] { mApp.activeOfficeDocument()->wholeStory(); });
}

void OfficeSelection::Copy()
{
    mApp.watched([&] { mApp.activeOfficeDocument()->copy(); });
}

void OfficeSelection::EndKey(WdUnits unit)
{
    mApp.watched([&] {
        if (unit != WdUnits::Story) {
            throw Error(QStringLiteral("EndKey supports only the unit Story (6)."));
        }
        mApp.activeOfficeDocument()->endOfStory();
    });
}

void OfficeSelection::Paste()
{
    mApp.watched([&] { mApp.activeOfficeDocument()->paste(); });
}

void OfficeSelection::TypeBackspace()
{
    mApp.watched([&] { mApp.activeOfficeDocument()->backspace(); });
}

void OfficeSelection::GoTo(WdGoToItem what, WdGoToDirection which, int count)
{
    mApp.watched([&] {
        if (what != WdGoToItem::Page) {
            throw Error(QStringLiteral("GoTo supports only pages (What = 1)."));
        }
        if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
            throw Error(QStringLiteral("GoTo supports only the next (2) or previous (3) page."));
        }
        mApp.activeOfficeDocument()->goToPage(which, count);
    });
}

} // namespace word
