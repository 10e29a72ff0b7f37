#include "book_choices.h"

#include "app_identity.h"
#include "settings_store.h"

namespace {

const QString kFirstNumberKey = QStringLiteral("FirstNumber");
const QString kOrderKey = QStringLiteral("Order");
const QString kPaperKey = QStringLiteral("Paper");
const QString kPictureKey = QStringLiteral("Picture");

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
    choices.picture = readKey(kPictureKey, {});
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

namespace {

// The choice a key of values names, taken over into; what is wrong when the value is not one
// this program knows (then nothing is taken).
template <typename Choice, std::size_t N>
QString takeNamed(const QHash<QString, QString>& values, const QString& key,
                  const std::array<ChoiceNames<Choice>, N>& table, Choice& into)
{
    if (!values.contains(key)) {
        return {};
    }
    using Names = ChoiceNames<Choice>;
    const std::optional<Choice> named = Names::named(table, values.value(key), &Names::stored);
    if (!named) {
        return QStringLiteral("%1 must be %2.")
            .arg(key, Names::all(table, &Names::stored).join(QStringLiteral(" or ")));
    }
    into = *named;
    return {};
}

} // namespace

QString BookChoices::takeFrom(const QHash<QString, QString>& values)
{
    TicketOrder takenOrder = order;
    Paper takenPaper = paper;
    for (const QString& problem : {takeNamed(values, kOrderKey, kOrderNames, takenOrder),
                                   takeNamed(values, kPaperKey, kPaperNames, takenPaper)}) {
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    firstNumber = values.value(kFirstNumberKey, firstNumber);
    picture = values.value(kPictureKey, picture);
    order = takenOrder;
    paper = takenPaper;
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

void BookChoices::writePicture(const QString& path)
{
    writeKey(kPictureKey, path);
}

void BookChoices::writePaper(Paper paper)
{
    writeKey(kPaperKey, QLatin1String(PaperNames::of(kPaperNames, paper).stored));
}

QStringList BookChoices::settingsKeys()
{
    return {kFirstNumberKey, kOrderKey, kPaperKey, kPictureKey};
}
