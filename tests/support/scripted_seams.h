#pragma once

#include "seams.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// Answers every seam the way a test script says and records what the program asked, then puts
// the previous seams back.
// A print dialog's answer of printer, copies and pages, the rest as the dialog leaves it.
inline PrintRequest printRequest(const QString& printer, int copies = 1, const QString& pages = {})
{
    PrintRequest request;
    request.printer = printer;
    request.copies = copies;
    request.pages = pages;
    return request;
}

class ScriptedSeams
{
public:
    struct Message
    {
        QString text;
        QString title;
        MsgStyle style;
    };

    ScriptedSeams();
    ~ScriptedSeams();
    ScriptedSeams(const ScriptedSeams&) = delete;
    ScriptedSeams& operator=(const ScriptedSeams&) = delete;

    // The texts of the messages shown, in order.
    QStringList messageTexts() const;

    QList<Message> messages;
    QList<MsgAnswer> answers;   // taken in turn by Yes/No boxes; Yes when empty
    QStringList savePaths;      // taken in turn by the save dialog; cancel when empty
    QStringList saveFilters;    // the filter chosen in each save dialog; the first when empty
    QStringList offeredFilters; // what each save dialog offered
    QStringList openPaths;      // taken in turn by the open dialog; cancel when empty
    QList<QUrl> openedUrls;
    // Each print dialog: false cancels; otherwise printRequest is the person's choice. What the
    // program offered is recorded.
    bool printChosen = true;
    PrintRequest printRequest;
    QList<std::pair<int, Paper>> printOffered; // pages and paper of each print dialog
    bool openUrlSucceeds = true;
    QList<double> randomValues; // drawn in turn; then randomValue for ever
    double randomValue = 0.5;
    int endProgramCalls = 0;
    QTemporaryDir programFolder; // empty: no cursor, no skin

private:
    Seams mPrevious;
};
