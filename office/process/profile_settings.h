#pragma once

#include <QByteArray>
#include <QString>

namespace word {

// What the program sets in each office's private profile, so that the office spends nothing on
// what nobody here uses (spelling, recovery saves, word completion, the status bar, locks) and
// skips its first-start self-tests.
class ProfileSettings
{
public:
    // The settings file's text for the office program at that path (its version read beside it).
    static QByteArray text(const QString& program);
    // Writes text as the settings of the profile folder; a failure leaves the office's defaults.
    static void write(const QString& profile, const QByteArray& text);
};

} // namespace word
