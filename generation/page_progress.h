#pragma once

#include <QString>

class ErrorTrap;
class RunHost;

// The progress bar while pages are added: before each page, the window's events run and the bar
// shows that page's share. Its scale follows the count field as it is now; while the field holds
// no count, or one of a single page, the run's own page count stands in.
class PageProgress
{
public:
    PageProgress(RunHost& host, ErrorTrap& trap) : mHost(host), mTrap(trap) {}

    void show(int page, int runPages);
    // The bar and its text as they were before the run.
    void reset();

private:
    RunHost& mHost;
    ErrorTrap& mTrap;
};
