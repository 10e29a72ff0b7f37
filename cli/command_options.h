#pragma once

#include "book_choices.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the command line asks for: one run without a window, written to one file.
struct CommandOptions
{
    // Fields 1 to 8 as given (event, draw, three prizes, condition, donation, count); a field
    // not given comes from a fields file, or else from the person's saved wording.
    std::array<std::optional<QString>, 8> fields;
    std::optional<QString> firstNumber;
    std::optional<TicketOrder> order;
    std::optional<Paper> paper;
    // The picture's file as given; an empty text for none (--no-picture).
    std::optional<QString> picture;
    QString fieldsFile;
    QString output;
    bool pdf = false; // the output's name ends in ".pdf"; otherwise in ".doc"
    bool force = false;
    bool remember = false;
    bool quiet = false;
};

// The command line read, before anything is looked at on disk.
struct ParsedCommand
{
    enum class Kind
    {
        Run,
        Help,
        Version,
        Wrong // error says what, in one line
    };
    Kind kind = Kind::Wrong;
    QString error;
    CommandOptions options;
};

namespace command_line {

// Exit statuses, as --help lists them.
constexpr int kDone = 0;
constexpr int kRunFailed = 1;
constexpr int kWrongArguments = 2;
constexpr int kNoOffice = 3;

// True when the program was started as a command (its first argument is an option), not as the
// window.
bool isCommand(int argc, char** argv);
// The arguments after the program's name.
ParsedCommand parse(const QStringList& arguments);
// The one-line usage, given with every wrong argument.
QString usage();
// Every option's names (without dashes), from the one list that the parser, the usage and the
// help are made from.
QStringList optionNames();
// The full help: every option, the exit statuses and an example.
QString help();

} // namespace command_line
