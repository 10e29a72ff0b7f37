#pragma once

#include "choice_names.h"
#include "ticket_book.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The paper a run lays its pages out for.
enum class Paper
{
    Letter,
    A4
};

using OrderNames = ChoiceNames<TicketOrder>;
using PaperNames = ChoiceNames<Paper>;
inline constexpr std::array<OrderNames, 2> kOrderNames{{
    {TicketOrder::Sequence, "Sequence", "sequence", "In sequence"},
    {TicketOrder::CutAndStack, "CutAndStack", "cut-and-stack", "Cut and stack"},
}};
inline constexpr std::array<PaperNames, 2> kPaperNames{{
    {Paper::Letter, "Letter", "letter", "Letter"},
    {Paper::A4, "A4", "a4", "A4"},
}};

// How the tickets are made into books: the first number (as typed), their order, the paper, and
// the organiser's picture (its file's full path; empty for none). Kept in the settings store
// beside the fields, under FirstNumber, Order, Paper and Picture; a store without these keys, or
// with a value this program does not know, gives the defaults: 1, in sequence, Letter, none.
struct BookChoices
{
    QString firstNumber = QStringLiteral("1");
    TicketOrder order = TicketOrder::Sequence;
    Paper paper = Paper::Letter;
    QString picture;

    static BookChoices read();
    static void writeFirstNumber(const QString& text);
    static void writeOrder(TicketOrder order);
    static void writePaper(Paper paper);
    static void writePicture(const QString& path);
    // The settings keys, for keeping what can be read of a damaged store.
    static QStringList settingsKeys();
    // The choice a stored value names, or nothing for a value this program does not know.
    static std::optional<TicketOrder> orderNamed(const QString& value);
    static std::optional<Paper> paperNamed(const QString& value);
    // Takes over these choices what values (a section's keys and their texts) holds of the keys;
    // an empty text, or which value is not one this program knows (then nothing is taken from it).
    QString takeFrom(const QHash<QString, QString>& values);
};
