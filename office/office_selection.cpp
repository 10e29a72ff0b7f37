#include "office_selection.h"

#include "office_application.h"

namespace word {

void OfficeSelection::WholeStory()
{
    app_.watched([&] { app_.activeOfficeDocument()->wholeStory(); });
}

void OfficeSelection::Copy()
{
    app_.watched([&] { app_.activeOfficeDocument()->copy(); });
}

void OfficeSelection::EndKey(WdUnits unit)
{
    app_.watched([&] {
        if (unit != WdUnits::Story) {
            throw Error(QStringLiteral("EndKey supports only the unit Story (6)."));
        }
        app_.activeOfficeDocument()->endOfStory();
    });
}

void OfficeSelection::Paste()
{
    app_.watched([&] { app_.activeOfficeDocument()->paste(); });
}

void OfficeSelection::TypeBackspace()
{
    app_.watched([&] { app_.activeOfficeDocument()->backspace(); });
}

void OfficeSelection::GoTo(WdGoToItem what, WdGoToDirection which, int count)
{
    app_.watched([&] {
        if (what != WdGoToItem::Page) {
            throw Error(QStringLiteral("GoTo supports only pages (What = 1)."));
        }
        if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
            throw Error(QStringLiteral("GoTo supports only the next (2) or previous (3) page."));
        }
        app_.activeOfficeDocument()->goToPage(which, count);
    });
}

} // namespace word
