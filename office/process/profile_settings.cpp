#include "profile_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace word {
namespace {

// Settings of the office's fresh private profile. Background jobs (spelling as you type,
// grammar, timed recovery saves of a document that is never meant to be kept) compete with the
// program's calls for the office's one lock and would slow each of them. No document is locked:
// each office opens only the program's own files, a lock file is left behind by an office that
// is ended with its document open, and one that finds no room on a full disk fails the opening.
// Nobody types into these offices or sees their windows: no words are collected for completing
// them (every laid-out page's, while idle), and no status bar asks for a word count (of a whole
// changed document, again and again while idle).
constexpr char kProfileSettings[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Linguistic/SpellChecking"><prop oor:name="IsSpellAuto" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Linguistic/GrammarChecking"><prop oor:name="IsAutoGrammarCheck" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/AutoSave"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Recovery/RecoveryInfo"><prop oor:name="Enabled" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Writer/AutoFunction/Completion"><prop oor:name="CollectWords" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.UI.WriterWindowState/UIElements/States"><node oor:name="private:resource/statusbar/statusbar" oor:op="replace"><prop oor:name="Visible" oor:op="fuse"><value>false</value></prop></node></item>
)";

// The office's version, as "7.4", from the bootstrap file beside the program; empty when it
// cannot be read there.
QByteArray officeVersion(const QString& program)
{
    QFile bootstrap(QFileInfo(program).dir().filePath(QStringLiteral("bootstraprc")));
    if (!bootstrap.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    static const QRegularExpression productKey(QStringLiteral("^ProductKey=.* (\\d+\\.\\d+)$"));
    while (!bootstrap.atEnd()) {
        const auto match = productKey.match(QString::fromUtf8(bootstrap.readLine()).trimmed());
        if (match.hasMatch()) {
            return match.captured(1).toLatin1();
        }
    }
    return {};
}

} // namespace

// A profile that has not seen this version of the office makes it run its graphics self-tests
// (about a second) before it takes connections, at every start: nothing else ever records the
// version in a headless profile. Without the version the tests run, as before.
QByteArray ProfileSettings::text(const QString& program)
{
    QByteArray settings(kProfileSettings);
    const QByteArray version = officeVersion(program);
    if (!version.isEmpty()) {
        settings +=
            R"(<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)" +
            version + "</value></prop></item>\n";
    }
    return settings + "</oor:items>\n";
}

void ProfileSettings::write(const QString& profile, const QByteArray& text)
{
    QDir().mkpath(profile + QStringLiteral("/user"));
    QFile settings(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (settings.open(QIODevice::WriteOnly)) {
        settings.write(text);
    }
}

} // namespace word
