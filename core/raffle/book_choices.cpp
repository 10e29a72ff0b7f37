#include "book_choices.h"

#include "app_identity.h"
#include "settings_store.h"

namespace {

const QString kFirstNumberKey = QStringLiteral("FirstNumber");
const QString kOrderKey = QStringLiteral("Order");
const QString kPaperKey = QStringLiteral("Paper");

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
    return OrderNames::named(kOrderNames, value, &OrderNames::stored);
}

std::optional<Paper> BookChoices::paperNamed(const QString& value)
{
    return PaperNames::named(kPaperNames, value, &PaperNames::stored);
}

QString BookChoices::takeFrom(const QHash<QString, QString>& values)
{
    std::optional<TicketOrder> order = this->order;
    std::optional<Paper> paper = this->paper;
    if (values.contains(kOrderKey)) {
        order = orderNamed(values.value(kOrderKey));
        if (!order) {
            return QStringLiteral("%1 must be %2.")
                .arg(
                    kOrderKey,
                    OrderNames::all(kOrderNames, &OrderNames::stored).join(QStringLiteral(" or ")));
        }
    }
    if (values.contains(kPaperKey)) {
        paper = paperNamed(values.value(kPaperKey));
        if (!paper) {
            return QStringLiteral("%1 must be %2.")
                .arg(
                    kPaperKey,
                    PaperNames::all(kPaperNames, &PaperNames::stored).join(QStringLiteral(" or ")));
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
    writeKey(kOrderKey, QLatin1String(OrderNames::of(kOrderNames, order).stored));
}

void BookChoices::writePaper(Paper paper)
{
    writeKey(kPaperKey, QLatin1String(PaperNames::of(kPaperNames, paper).stored));
}

QStringList BookChoices::settingsKeys()
{
    return {kFirstNumberKey, kOrderKey, kPaperKey};
}
