#pragma once

#include <QString>

#include <array>

// The eight raffle fields of the main window: frame caption, settings key and the default,
// which is also the sample value. One place knows them all.
struct TicketField
{
    const char* frameCaption;
    const char* settingsKey;
    const char* defaultValue;
};

namespace ticket_fields {

constexpr int kCount = 8;
const std::array<TicketField, kCount>& all();

// Settings store access for field index 0..7 (Text1..Text8).
QString read(int index);
void write(int index, const QString& text);
// A damaged store is moved aside, and a fresh one keeps what could still be read of the
// fields; throws AppError saying where the damaged file went.
void setAsideDamagedStore();

} // namespace ticket_fields
