#pragma once

#include "run_host.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <utility>

// The generation run's host without a window: the fields and choices given, progress on standard
// error (one redrawn line on a terminal, a line per percent otherwise), and the document the run
// hands over kept for the command to write.
class ConsoleHost : public RunHost
{
public:
    ConsoleHost(const std::array<QString, 8>& fields, const BookChoices& choices, bool quiet);

    QByteArray templateBytes(Paper paper) const override;
    BookChoices bookChoices() const override { return mChoices; }
    QString fieldText(int n) const override;
    bool busy() const override { return mBusy; }
    void setBusy(bool busy) override { mBusy = busy; }
    void setHourglass(bool) override {}
    void setProgressValue(int value) override;
    void setProgressText(const QString&) override {}
    void processEvents() override;
    void loadPreview() override {}
    void setPreviewPicture(const QImage&) override {}
    void setPreviewResult(const RunResult& result) override { mResult = result; }
    void showPreview() override {}
    void hideMain() override {}
    // Nobody sees a preview here; the run's one office is the one the command checked.
    bool wantsPicture() const override { return false; }
    CheckedOffice takeOffice() override { return std::move(mOffice); }
    QByteArray ticketPicture() const override { return mPicture; }
    void givePicture(const QByteArray& picture) { mPicture = picture; }
    void giveOffice(CheckedOffice office) { mOffice = std::move(office); }

    // What the run made, once handed over (no document before).
    const RunResult& result() const { return mResult; }
    // Shows how far a stage has come, 1 to 100 (other values show nothing).
    void progress(const QString& stage, int percent);
    // Ends a redrawn progress line, so that what follows starts on a line of its own.
    void endProgressLine();

private:
    std::array<QString, 8> mFields;
    BookChoices mChoices;
    bool mQuiet;
    bool mTerminal;
    bool mBusy = false;
    bool mLineOpen = false;
    QString mStage;
    int mShown = -1;
    RunResult mResult;
    CheckedOffice mOffice;
    QByteArray mPicture;
};
