#pragma once

#include "book_choices.h"
#include "print_request.h"

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Message box styles and answers, numbered as the platform's message-box API numbers them.
enum class MsgStyle
{
    Ok = 0,
    YesNo = 4,
    OkExclamation = 48
};
enum class MsgAnswer
{
    Ok = 1,
    Yes = 6,
    No = 7
};

// Everything that waits for a person or reaches outside the program goes through here, so that
// tests can answer it. The product installs the real implementations once in main().
struct Seams
{
    std::function<MsgAnswer(const QString& text, const QString& title, MsgStyle style)> messageBox;
    // Returns the chosen path, or an empty text when the user cancelled. The filters are separated
    // by ";;"; the first is selected, and selectedFilter (when given) receives the one chosen.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter,
                          QString* selectedFilter)>
        saveFileName;
    // The desktop's dialog for a file to open: its path, or an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)>
        openFileName;
    std::function<bool(const QUrl& url)> openUrl;
    // The print dialog for a document of pages pages on paper: false when the person cancelled;
    // otherwise request holds the printer, the copies and the pages chosen.
    std::function<bool(QWidget* parent, int pages, Paper paper, PrintRequest& request)> printDialog;
    // Seed from a number, then draw uniformly from [0, 1).
    std::function<void(quint32 seed)> seedRandom;
    std::function<double()> random;
    // The folder the program runs from (cursor and skin files sit there).
    std::function<QString()> programFolder;
    // Ends the program at once: no window's close handling runs afterwards.
    std::function<void()> endProgram;

    static Seams& current();
    // Error reports go to the current message box, titled "Application Error" with the warning
    // icon.
    static void routeErrorReports();
    // Real message boxes, file and print dialogs, browser opener, random source and program
    // folder.
    static void installProduct();
};
