#pragma once

#include "ticket_fields.h"

#include <QString>
#include <QStringList>

// The window's sample wording, fields 1 to 8 as a fresh program shows them, with the ticket count
// given.
inline QStringList sampleFields(const QString& count = QString())
{
    QStringList fields;
    for (const TicketField& field : ticket_fields::all()) {
        fields << QString::fromUtf8(field.defaultValue);
    }
    if (!count.isEmpty()) {
        fields.last() = count;
    }
    return fields;
}
