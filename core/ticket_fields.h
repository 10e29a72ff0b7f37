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

class TicketFields
{
public:
    static constexpr int kCount = 8;
    static const std::array<TicketField, kCount>& all();

    // Settings store access for field index 0..7 (Text1..Text8).
    static QString read(int index);
    static void write(int index, const QString& text);
    // A damaged store is moved aside, and a fresh one keeps what could still be read of the
    // fields; throws AppError saying where the damaged file went.
    static void setAsideDamagedStore();
};
