#include "word_automation.h"

#include "early_offices.h"
#include "live_offices.h"
#include "office_application.h"
#include "office_process.h"
#include "warm_offices.h"

#include <mutex>

namespace word {
namespace {

std::mutex factoryMutex;
// Offices are started early only for the office engine, never behind a scripted one.
bool usingOfficeEngine = true;

ApplicationFactory& currentFactory()
{
    static ApplicationFactory factory = defaultApplicationFactory();
    return factory;
}

} // namespace

std::unique_ptr<Application> Application::create()
{
    ApplicationFactory factory;
    {
        std::lock_guard lock(factoryMutex);
        factory = currentFactory();
    }
    auto application = factory();
    if (!application) {
        throw Error(QStringLiteral("No office instance could be created."));
    }
    return application;
}

void setApplicationFactory(ApplicationFactory factory, bool wrapsOfficeEngine)
{
    std::lock_guard lock(factoryMutex);
    usingOfficeEngine = !factory || wrapsOfficeEngine;
    currentFactory() = factory ? std::move(factory) : defaultApplicationFactory();
}

void startInstancesEarly(int count)
{
    {
        std::lock_guard lock(factoryMutex);
        if (!usingOfficeEngine) {
            return;
        }
    }
    // A head start only: whatever fails here, the instance that would have taken the office
    // meets again, and reports, when it starts one of its own.
    try {
        early_offices::fill(count - warm_offices::count());
        warm_offices::watch();
    } catch (...) {
    }
}

void warmInstancesWith(const QByteArray& document)
{
    {
        std::lock_guard lock(factoryMutex);
        if (!usingOfficeEngine) {
            return;
        }
    }
    warm_offices::warmWith(document);
}

ApplicationFactory defaultApplicationFactory()
{
    return []() -> std::unique_ptr<Application> {
        if (auto ready = warm_offices::take()) {
            return ready;
        }
        return std::make_unique<OfficeApplication>(early_offices::take());
    };
}

void terminateAllInstancesFromAnyThread()
{
    LiveOffices::killAllFromAnyThread();
}

void terminateAllInstances()
{
    LiveOffices::killAll();
    early_offices::clear();
    warm_offices::clear();
}

} // namespace word
