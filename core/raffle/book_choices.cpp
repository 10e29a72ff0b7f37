#include "book_choices.h"

#include "app_identity.h"
#include "settings_store.h"

namespace {

const QString kFirstNumberKey = QStringLiteral("FirstNumber");
const QString kOrderKey = QStringLiteral("Order");
const QString kPaperKey = QStringLiteral("Paper");
const QString kCutAndStack = QStringLiteral("CutAndStack");
const QString kA4 = QStringLiteral("A4");

QString readKey(const QString& key, const QString& defaultValue)
{
    return settings::GetSetting(identity::kSettingsApplication, identity::kSettingsSection, key,
                                defaultValue);
}

void writeKey(const QString& key, const QString& value)
{
    settings::SaveSetting(identity::kSettingsApplication, identity::kSettingsSection, key, value);
}

} // namespace

BookChoices BookChoices::read()
{
    BookChoices choices;
    choices.firstNumber = readKey(kFirstNumberKey, choices.firstNumber);
    choices.order =
        readKey(kOrderKey, {}) == kCutAndStack ? TicketOrder::CutAndStack : TicketOrder::Sequence;
    choices.paper = readKey(kPaperKey, {}) == kA4 ? Paper::A4 : Paper::Letter;
    return choices;
}

void BookChoices::writeFirstNumber(const QString& text)
{
    writeKey(kFirstNumberKey, text);
}

void BookChoices::writeOrder(TicketOrder order)
{
    writeKey(kOrderKey,
             order == TicketOrder::CutAndStack ? kCutAndStack : QStringLiteral("Sequence"));
}

void BookChoices::writePaper(Paper paper)
{
    writeKey(kPaperKey, paper == Paper::A4 ? kA4 : QStringLiteral("Letter"));
}

QStringList BookChoices::settingsKeys()
{
    return {kFirstNumberKey, kOrderKey, kPaperKey};
}
