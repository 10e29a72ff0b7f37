#pragma once

#include <QByteArray>

#include <functional>

// The offices of the process around its runs: started ahead while the person types, and ended
// all at once when the program must end, with the working files of a run still going on.
class RunOffices
{
public:
    // Starts the offices the next run will use while the person is still typing, until count are
    // waiting (two: its own and its picture's); they are ended with endAll() when no run takes
    // them. With a sample document (the window's template), each is also made ready with it
    // meanwhile, until a run begins.
    static void startEarly(const QByteArray& sample = {}, int count = 2);
    // Ends every office this process started, at once, and removes the working files of a run
    // still going on (a template it wrote, its first page, a document not yet handed over): for
    // a program that must end now while a run may still hold them.
    static void endAll();
    // The same from a thread of its own, when the main thread cannot end the program (it waits
    // on an office that hangs): the offices killed, the working files removed; the process is to
    // end right after.
    static void endAllFromAnyThread();

    // For as long as it lives, a run's removal of its working files, which endAll() calls once
    // the offices are gone, so that none still writes them.
    class RunInProgress
    {
    public:
        explicit RunInProgress(std::function<void()> removeWorkingFiles);
        ~RunInProgress();
        RunInProgress(const RunInProgress&) = delete;
        RunInProgress& operator=(const RunInProgress&) = delete;

    private:
        std::function<void()> mPrevious;
    };
};
