#include "office_selection.h"

#include "office_application.h"

namespace word {

using Kind = EditCommand::Kind;

void OfficeSelection::WholeStory()
{
    mApp.edit(EditCommand::of(Kind::WholeStory));
}

void OfficeSelection::Copy()
{
    mApp.edit(EditCommand::of(Kind::Copy));
}

void OfficeSelection::EndKey(WdUnits unit)
{
    mApp.edit(unit == WdUnits::Story ? EditCommand::of(Kind::EndOfStory)
                                     : EditCommand::refused(QStringLiteral(
                                           "EndKey supports only the unit Story (6).")));
}

void OfficeSelection::Paste()
{
    mApp.edit(EditCommand::of(Kind::Paste));
}

void OfficeSelection::TypeBackspace()
{
    mApp.edit(EditCommand::of(Kind::Backspace));
}

void OfficeSelection::GoTo(WdGoToItem what, WdGoToDirection which, int count)
{
    if (what != WdGoToItem::Page) {
        mApp.edit(EditCommand::refused(QStringLiteral("GoTo supports only pages (What = 1).")));
        return;
    }
    if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
        mApp.edit(EditCommand::refused(
            QStringLiteral("GoTo supports only the next (2) or previous (3) page.")));
        return;
    }
    EditCommand go = EditCommand::of(Kind::GoToPage);
    go.direction = which;
    go.count = count;
    mApp.edit(go);
}

void OfficeSelection::BeginBatch()
{
    mApp.beginBatch();
}

std::vector<BatchFailure> OfficeSelection::EndBatch(const std::function<void()>& meanwhile)
{
    return mApp.endBatch(meanwhile);
}

} // namespace word
