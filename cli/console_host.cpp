#include "console_host.h"

#include "ticket_template.h"

#include <QCoreApplication>

#include <unistd.h>

ConsoleHost::ConsoleHost(const std::array<QString, 8>& fields, const BookChoices& choices,
                         bool quiet)
    : mFields(fields), mChoices(choices), mQuiet(quiet), mTerminal(::isatty(STDERR_FILENO) == 1)
{}

QByteArray ConsoleHost::templateBytes(Paper paper) const
{
    return ticketTemplateBytes(paper);
}

QString ConsoleHost::fieldText(int n) const
{
    return mFields.at(static_cast<size_t>(n - 1));
}

void ConsoleHost::setProgressValue(int value)
{
    progress(QStringLiteral("Making the pages"), value);
}

void ConsoleHost::progress(const QString& stage, int percent)
{
    // The run sets 0 when its pages are done; that is no progress to show.
    if (mQuiet || percent <= 0 || percent > 100 || (stage == mStage && percent == mShown)) {
        return;
    }
    if (stage != mStage) {
        endProgressLine();
        mStage = stage;
    }
    mShown = percent;
    if (mTerminal) {
        std::fprintf(stderr, "\r%s: %3d%%", qPrintable(stage), percent);
        mLineOpen = true;
    } else {
        std::fprintf(stderr, "%s: %d%%\n", qPrintable(stage), percent);
    }
    std::fflush(stderr);
}

void ConsoleHost::endProgressLine()
{
    if (mLineOpen) {
        std::fputc('\n', stderr);
        mLineOpen = false;
    }
}

void ConsoleHost::processEvents()
{
    QCoreApplication::processEvents();
}
