#pragma once

#include "book_choices.h"
#include "checked_office.h"
#include "run_result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// What a generation run needs from the window that starts it. The main window implements it;
// tests implement it without a screen.
class RunHost
{
public:
    virtual ~RunHost() = default;

    // The Word template the run fills, laid out for the paper: the program's embedded one, or a
    // test's own.
    virtual QByteArray templateBytes(Paper paper) const = 0;
    // The first number (as typed; the window has checked it), the order and the paper.
    virtual BookChoices bookChoices() const { return {}; }
    // The text of field n (1..8) at the moment the run reads it.
    virtual QString fieldText(int n) const = 0;
    virtual bool busy() const = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void setHourglass(bool on) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setProgressText(const QString& text) = 0;
    // Lets pending window events run once.
    virtual void processEvents() = 0;
    // Whether the run draws its first page for a preview; a host without one saves the run that
    // work, and the office that does it.
    virtual bool wantsPicture() const { return true; }
    // An office the host has started and checked already, for the run to use instead of starting
    // its own; none by default.
    virtual CheckedOffice takeOffice() { return {}; }
    // The organiser's picture as TicketPicture read it, checked by the host before the run;
    // empty for none.
    virtual QByteArray ticketPicture() const { return {}; }

    // The hand-over to the preview window, in this order.
    virtual void loadPreview() = 0;
    virtual void setPreviewPicture(const QImage& picture) = 0;
    // What the run made: the document, its book, its event and paper.
    virtual void setPreviewResult(const RunResult& result) = 0;
    virtual void showPreview() = 0;
    virtual void hideMain() = 0;
};
