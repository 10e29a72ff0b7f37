#pragma once

#include "find_request.h"
#include "word_automation.h"

#include <QString>

namespace word {

// One editing step of the Selection or its Find, as a document's editor runs it, wherever that
// editor is: inside the office, or in this process over the pipe.
struct EditCommand
{
    enum class Kind
    {
        WholeStory,
        Copy,
        EndOfStory,
        Paste,
        Backspace,
        GoToPage,
        Replace,
        // Before anything reads, copies or stores the document: the pages laid out as they are.
        EndStaging,
        // How many single pages were pasted (a long document is not closed in the office).
        PastedPages,
        // The document's window went or came: selection and transfer go through the new one.
        ViewChanged,
        // How many pages the document has, told by its page breaks without laying it out.
        CountPages,
        // Only some pages stay, for an export in parts: from page count (counted from 0) to the
        // end with direction Next, the pages before it with Previous.
        KeepPages,
        // Long wording shrinks to keep every line of the first page (Document::FitTextToLines):
        // where the editor runs, so that reading the page's paragraphs costs no round trips.
        FitTextToLines,
        // The document's words (count 0), characters (1) or paragraphs (2) when the editor knows
        // them without the office counting the whole document, else -1.
        Statistics,
        // The document is about to grow to count pages by pastes at its end: a hint for how to lay
        // it out meanwhile, which changes nothing in the document.
        ExpectPages,
        // A step refused before it reached the editor, failing in its turn with this description.
        Fail
    };

    static EditCommand of(Kind kind)
    {
        EditCommand command;
        command.kind = kind;
        return command;
    }
    static EditCommand refused(const QString& description)
    {
        EditCommand command;
        command.failure = description;
        return command;
    }

    Kind kind = Kind::Fail;
    WdGoToDirection direction = WdGoToDirection::Next; // GoToPage, KeepPages
    int count = 0;                                     // GoToPage, KeepPages, Statistics
    FindRequest request;                               // Replace
    KeptClear keptClear;                               // FitTextToLines
    QString failure;                                   // Fail
};

// What one command did: it failed, with the description its word::Error had, or it gave its value
// (Replace: 1 when something was replaced; PastedPages: the count; 0 otherwise).
struct EditOutcome
{
    bool failed = false;
    QString description;
    int value = 0;
};

} // namespace word
