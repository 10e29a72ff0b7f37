#pragma once

#include "word_automation.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// A scripted stand-in for the office, for tests that inject failures. A document is its text;
// pages are separated by "\f", paragraphs by "\n", and a paragraph in the ticket-number style
// begins with kNumberMark. The template's page is five tickets whose numbers stand twice and
// whose wording carries the placeholders the run replaces.
class FakeWord
{
public:
    FakeWord();  // installs itself as the office factory
    ~FakeWord(); // puts the real one back

    static QString templatePage();
    static inline const QChar kNumberMark = QChar(0x2116);
    // The ticket-number paragraphs of a saved fake document, in order.
    static QStringList ticketNumbers(const QString& text);

    // The nth call (1-based) of an operation throws; operations are named as in the interface
    // ("Open", "Execute", "Paste", "setMatchCase", "quit", ...).
    void failOn(const QString& operation, int nth = 1) { mFailures.insert(operation, nth); }
    // After this many operations the office is gone: every later call throws.
    void dieAfter(int operations) { mDieAfter = operations; }
    bool startFails = false;
    // Called at every operation, with its name (for a second click during a run, say).
    std::function<void(const QString&)> onOperation;
    // Damage a paste could do: when set, the nth paste drops its last ticket.
    int brokenPaste = 0;

    int created = 0;
    int quit = 0;
    int alive = 0;
    QStringList log;
    QHash<QString, int> calls;
    QStringList openedBytes; // the file content each Open found

    // Internal: every fake operation passes here.
    void operation(const QString& name);
    // What Copy took; like the office's own transfer, never the desktop clipboard.
    QString transfer;

private:
    QHash<QString, int> mFailures;
    int mDieAfter = -1;
    int mOperations = 0;
};
