#include "word_automation.h"

#include "office_application.h"
#include "office_process.h"

#include <mutex>

namespace word {
namespace {

std::mutex factoryMutex;

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

void setApplicationFactory(ApplicationFactory factory)
{
    std::lock_guard lock(factoryMutex);
    currentFactory() = factory ? std::move(factory) : defaultApplicationFactory();
}

ApplicationFactory defaultApplicationFactory()
{
    return [] { return std::unique_ptr<Application>(std::make_unique<OfficeApplication>()); };
}

void terminateAllInstances()
{
    OfficeProcess::killAll();
}

} // namespace word
