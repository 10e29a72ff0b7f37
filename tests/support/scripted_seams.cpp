#include "scripted_seams.h"

ScriptedSeams::ScriptedSeams() : mPrevious(Seams::current())
{
    Seams::routeErrorReports();
    Seams& s = Seams::current();
    s.messageBox = [this](const QString& text, const QString& title, MsgStyle style) {
        messages.append({text, title, style});
        if (style != MsgStyle::YesNo) {
            return MsgAnswer::Ok;
        }
        return answers.isEmpty() ? MsgAnswer::Yes : answers.takeFirst();
    };
    s.saveFileName = [this](QWidget*, const QString&, const QString& filter, QString* selected) {
        offeredFilters << filter;
        const QString chosen = saveFilters.isEmpty() ? QString() : saveFilters.takeFirst();
        if (selected) {
            *selected = chosen.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : chosen;
        }
        return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
    };
    s.openFileName = [this](QWidget*, const QString&, const QString&) {
        return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
    };
    s.openUrl = [this](const QUrl& url) {
        openedUrls.append(url);
        return openUrlSucceeds;
    };
    s.printDialog = [this](QWidget*, int pages, Paper paper, PrintRequest& request) {
        printOffered.append({pages, paper});
        request = printRequest;
        return printChosen;
    };
    s.seedRandom = [](quint32) {};
    s.random = [this] { return randomValues.isEmpty() ? randomValue : randomValues.takeFirst(); };
    s.programFolder = [this] { return programFolder.path(); };
    s.endProgram = [this] { ++endProgramCalls; };
}

ScriptedSeams::~ScriptedSeams()
{
    Seams::current() = mPrevious;
}

QStringList ScriptedSeams::messageTexts() const
{
    QStringList texts;
    for (const Message& message : messages) {
        texts << message.text;
    }
    return texts;
}
