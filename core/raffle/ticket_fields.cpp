#include "ticket_fields.h"

#include "app_error.h"
#include "app_identity.h"
#include "book_choices.h"
#include "settings_store.h"

const std::array<TicketField, ticket_fields::kCount>& ticket_fields::all()
{
    static const std::array<TicketField, kCount> fields = {{
        {"Name Of Raffle", "Text1", "CHRISTMAS RAFFLE"},
        {"Raffle Draw", "Text2", "DRAWING WILL BE HELD AT THE END OF THE NIGHT"},
        {"1st Prize", "Text3", "$500"},
        {"2nd Prize", "Text4", "$250"},
        {"3rd Prize", "Text5", "$100"},
        {"Present Raffle", "Text6", "DO NOT HAVE TO BE PRESENT TO WIN"},
        {"Any Donation", "Text7", "$10"},
        {"How many tickets would you like to create? (Round up to 5)", "Text8", "20"},
    }};
    return fields;
}

QString ticket_fields::read(int index)
{
    const TicketField& field = all().at(static_cast<size_t>(index));
    return settings::GetSetting(identity::kSettingsApplication, identity::kSettingsSection,
                                QString::fromLatin1(field.settingsKey),
                                QString::fromUtf8(field.defaultValue));
}

void ticket_fields::write(int index, const QString& text)
{
    const TicketField& field = all().at(static_cast<size_t>(index));
    settings::SaveSetting(identity::kSettingsApplication, identity::kSettingsSection,
                          QString::fromLatin1(field.settingsKey), text);
}

void ticket_fields::setAsideDamagedStore()
{
    QStringList keys;
    for (const TicketField& field : all()) {
        keys << QString::fromLatin1(field.settingsKey);
    }
    keys << BookChoices::settingsKeys();
    const QString kept = settings::SetAsideIfDamaged(identity::kSettingsApplication,
                                                     identity::kSettingsSection, keys);
    if (!kept.isEmpty()) {
        throw AppError(QStringLiteral("The settings file %1 could not be read. It has been kept, "
                                      "unchanged, as %2, and the fields start again from what "
                                      "could still be read of it.")
                           .arg(settings::location(identity::kSettingsApplication), kept));
    }
}
