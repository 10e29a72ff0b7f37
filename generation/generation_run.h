#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class RunHost;

// "Start Creating Template": fills the embedded ticket template with the raffle's wording,
// repeats the page until the ticket count is reached (renumbering each new page), saves the
// document under a fresh name in the temp folder, has a picture of it made, and hands both to
// the preview. Every step runs under the error trap; no failure ends a run early.
class GenerationRun
{
public:
    static void PushButton6_Click(RunHost& host);

    // Ends every office this process started, at once: for a program that must end now while a
    // run may still hold one.
    static void endAllOffices();

    // The embedded Word template; the program installs the compiled-in one, tests their own.
    static void setTemplateSource(std::function<QByteArray()> source);

    // The replacement of pass 7: the donation suffix, or nothing without a donation.
    static QString donationReplacement(const QString& donation);
    // "zanfel" and eight digits 1..9 drawn from the random source.
    static QString drawResultName();
};
