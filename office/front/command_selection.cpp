#include "command_selection.h"

#include "command_front.h"

namespace word {

using Kind = EditCommand::Kind;

namespace {

// The moves that are offered, and why the rest are refused: the reason, or an empty text.
QString refusedEndKey(WdUnits unit)
{
    return unit == WdUnits::Story ? QString()
                                  : QStringLiteral("EndKey supports only the unit Story (6).");
}

QString refusedGoTo(WdGoToItem what, WdGoToDirection which)
{
    if (what != WdGoToItem::Page) {
        return QStringLiteral("GoTo supports only pages (What = 1).");
    }
    if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
        return QStringLiteral("GoTo supports only the next (2) or previous (3) page.");
    }
    return {};
}

} // namespace

void CommandSelection::WholeStory()
{
    mFront.edit(EditCommand::of(Kind::WholeStory));
}

void CommandSelection::Copy()
{
    mFront.edit(EditCommand::of(Kind::Copy));
}

void CommandSelection::EndKey(WdUnits unit)
{
    const QString refusal = refusedEndKey(unit);
    mFront.edit(refusal.isEmpty() ? EditCommand::of(Kind::EndOfStory)
                                  : EditCommand::refused(refusal));
}

void CommandSelection::Paste()
{
    mFront.edit(EditCommand::of(Kind::Paste));
}

void CommandSelection::TypeBackspace()
{
    mFront.edit(EditCommand::of(Kind::Backspace));
}

void CommandSelection::GoTo(WdGoToItem what, WdGoToDirection which, int count)
{
    if (const QString refusal = refusedGoTo(what, which); !refusal.isEmpty()) {
        mFront.edit(EditCommand::refused(refusal));
        return;
    }
    EditCommand go = EditCommand::of(Kind::GoToPage);
    go.direction = which;
    go.count = count;
    mFront.edit(go);
}

void CommandSelection::BeginBatch()
{
    mFront.beginBatch();
}

std::vector<BatchFailure> CommandSelection::EndBatch(const std::function<void()>& meanwhile)
{
    return mFront.endBatch(meanwhile);
}

} // namespace word
