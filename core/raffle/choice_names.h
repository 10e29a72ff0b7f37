#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// A choice of the book (an order or a paper) with each name it goes by: as the settings store
// and a fields file keep it, as the command line takes it, and as the window shows it. Every
// name of a choice is read from the tables of book_choices.h; the first entry is the default.
template <typename Choice> struct ChoiceNames
{
    Choice choice;
    const char* stored;
    const char* option;
    const char* shown;

    // The choice whose name (the member given) is value, or nothing.
    template <std::size_t N>
    static std::optional<Choice> named(const std::array<ChoiceNames, N>& table,
                                       const QString& value, const char* ChoiceNames::*name,
                                       Qt::CaseSensitivity cs = Qt::CaseSensitive)
    {
        for (const ChoiceNames& entry : table) {
            if (value.compare(QLatin1String(entry.*name), cs) == 0) {
                return entry.choice;
            }
        }
        return std::nullopt;
    }
    template <std::size_t N>
    static const ChoiceNames& of(const std::array<ChoiceNames, N>& table, Choice choice)
    {
        for (const ChoiceNames& entry : table) {
            if (entry.choice == choice) {
                return entry;
            }
        }
        return table.front();
    }
    // A list's entry at index as a choice (the default for no entry), and back.
    template <std::size_t N> static Choice at(const std::array<ChoiceNames, N>& table, int index)
    {
        return index >= 0 && std::size_t(index) < N ? table[std::size_t(index)].choice
                                                    : table.front().choice;
    }
    template <std::size_t N>
    static int indexOf(const std::array<ChoiceNames, N>& table, Choice choice)
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (table[i].choice == choice) {
                return int(i);
            }
        }
        return 0;
    }
    // Every name of that kind, in the table's order.
    template <std::size_t N>
    static QStringList all(const std::array<ChoiceNames, N>& table, const char* ChoiceNames::*name)
    {
        QStringList names;
        for (const ChoiceNames& entry : table) {
            names << QLatin1String(entry.*name);
        }
        return names;
    }
};
