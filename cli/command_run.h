#pragma once

#include "command_options.h"
#include "console_host.h"
#include "seams.h"

#include <QString>

#include <array>
#include <memory>

namespace command_line {
// The program started as a command: the arguments after its name. Help and version go to
// standard output; everything else the command says goes to standard error. Gives the exit status.
int main(const QStringList& arguments);
} // namespace command_line

// One run from the command line: the fields and choices settled from the saved wording, a fields
// file and the options; everything that can be refused refused before any work; the same
// generation run as the window's, through a host without a window; the document written to the
// output whole or not at all. Gives the exit status (command_line::kDone and the others).
class CommandRun
{
public:
    explicit CommandRun(CommandOptions options) : mOptions(std::move(options)) {}

    int exec();

private:
    // Each gives an empty text, or what is wrong (then nothing has been done).
    QString settleFields();
    QString readFieldsFile();
    QString checkValues();
    QString checkPicture();
    QString checkOutput();
    QString remember();
    int runAndWrite();
    Seams commandSeams();
    int writeOutput();
    int keepBeside();
    QString bookRange() const;

    CommandOptions mOptions;
    std::array<QString, 8> mFields;
    std::array<bool, 8> mFromFile{}; // the field came from the fields file
    BookChoices mChoices;
    QByteArray mPicture; // as read, for the run; empty for none
    QString mOutput;     // absolute
    QString mScratch;    // the output being written beside it, until it has its name
    std::unique_ptr<ConsoleHost> mHost;
    int mReports = 0;
};
