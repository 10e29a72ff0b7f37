#include "book_choices.h"

#include "app_identity.h"
#include "settings_store.h"

namespace {

const QString kFirstNumberKey = QStringLiteral("FirstNumber");
const QString kOrderKey = QStringLiteral("Order");
const QString kPaperKey = QStringLiteral("Paper");
const QString kSequence = QStringLiteral("Sequence");
const QString kCutAndStack = QStringLiteral("CutAndStack");
const QString kLetter = QStringLiteral("Letter");
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
    choices.order = orderNamed(readKey(kOrderKey, {})).value_or(choices.order);
    choices.paper = paperNamed(readKey(kPaperKey, {})).value_or(choices.paper);
    return choices;
}

std::optional<TicketOrder> BookChoices::orderNamed(const QString& value)
{
    if (value == kSequence) {
        return TicketOrder::Sequence;
    }
    if (value == kCutAndStack) {
        return TicketOrder::CutAndStack;
    }
    return std::nullopt;
}

std::optional<Paper> BookChoices::paperNamed(const QString& value)
{
    if (value == kLetter) {
        return Paper::Letter;
    }
    if (value == kA4) {
        return Paper::A4;
    }
    return std::nullopt;
}

QString BookChoices::takeFrom(const QHash<QString, QString>& values)
{
    std::optional<TicketOrder> order = this->order;
    std::optional<Paper> paper = this->paper;
    if (values.contains(kOrderKey)) {
        order = orderNamed(values.value(kOrderKey));
        if (!order) {
            return QStringLiteral("%1 must be %2 or %3.").arg(kOrderKey, kSequence, kCutAndStack);
        }
    }
    if (values.contains(kPaperKey)) {
        paper = paperNamed(values.value(kPaperKey));
        if (!paper) {
            return QStringLiteral("%1 must be %2 or %3.").arg(kPaperKey, kLetter, kA4);
        }
    }
    firstNumber = values.value(kFirstNumberKey, firstNumber);
    this->order = *order;
    this->paper = *paper;
    return {};
}

void BookChoices::writeFirstNumber(const QString& text)
{
    writeKey(kFirstNumberKey, text);
}

void BookChoices::writeOrder(TicketOrder order)
{
    writeKey(kOrderKey, order == TicketOrder::CutAndStack ? kCutAndStack : kSequence);
}

void BookChoices::writePaper(Paper paper)
{
    writeKey(kPaperKey, paper == Paper::A4 ? kA4 : kLetter);
}

QStringList BookChoices::settingsKeys()
{
    return {kFirstNumberKey, kOrderKey, kPaperKey};
}
