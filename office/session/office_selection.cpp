#include "office_selection.h"

#include "office_application.h"

namespace word {

using Kind = EditCommand::Kind;

QString selection_rules::refusedEndKey(WdUnits unit)
{
    return unit == WdUnits::Story ? QString()
                                  : QStringLiteral("EndKey supports only the unit Story (6).");
}

QString selection_rules::refusedGoTo(WdGoToItem what, WdGoToDirection which)
{
    if (what != WdGoToItem::Page) {
        return QStringLiteral("GoTo supports only pages (What = 1).");
    }
    if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
        return QStringLiteral("GoTo supports only the next (2) or previous (3) page.");
    }
    return {};
}

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
    const QString refusal = selection_rules::refusedEndKey(unit);
    mApp.edit(refusal.isEmpty() ? EditCommand::of(Kind::EndOfStory)
                                : EditCommand::refused(refusal));
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
    if (const QString refusal = selection_rules::refusedGoTo(what, which); !refusal.isEmpty()) {
        mApp.edit(EditCommand::refused(refusal));
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
