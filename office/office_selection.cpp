#include "office_selection.h"

#include "office_application.h"

namespace word {

namespace {

EditCommand command(EditCommand::Kind kind)
{
    EditCommand made;
    made.kind = kind;
    return made;
}

EditCommand refused(const QString& description)
{
    EditCommand made;
    made.failure = description;
    return made;
}

} // namespace

void OfficeSelection::WholeStory()
{
    mApp.edit(command(EditCommand::Kind::WholeStory));
}

void OfficeSelection::Copy()
{
    mApp.edit(command(EditCommand::Kind::Copy));
}

void OfficeSelection::EndKey(WdUnits unit)
{
    mApp.edit(unit == WdUnits::Story
                  ? command(EditCommand::Kind::EndOfStory)
                  : refused(QStringLiteral("EndKey supports only the unit Story (6).")));
}

void OfficeSelection::Paste()
{
    mApp.edit(command(EditCommand::Kind::Paste));
}

void OfficeSelection::TypeBackspace()
{
    mApp.edit(command(EditCommand::Kind::Backspace));
}

void OfficeSelection::GoTo(WdGoToItem what, WdGoToDirection which, int count)
{
    if (what != WdGoToItem::Page) {
        mApp.edit(refused(QStringLiteral("GoTo supports only pages (What = 1).")));
        return;
    }
    if (which != WdGoToDirection::Next && which != WdGoToDirection::Previous) {
        mApp.edit(refused(QStringLiteral("GoTo supports only the next (2) or previous (3) page.")));
        return;
    }
    EditCommand go = command(EditCommand::Kind::GoToPage);
    go.direction = which;
    go.count = count;
    mApp.edit(go);
}

void OfficeSelection::BeginBatch()
{
    mApp.beginBatch();
}

std::vector<BatchFailure> OfficeSelection::EndBatch()
{
    return mApp.endBatch();
}

} // namespace word
