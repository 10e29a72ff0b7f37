#pragma once

#include <memory>

namespace word {
class Application;
}

// An office that passed the start-up check, held for the run that follows so that one office
// does both; a host hands it to the run, which takes it. Quit when nobody took it.
class CheckedOffice
{
public:
    CheckedOffice();
    explicit CheckedOffice(std::unique_ptr<word::Application> application);
    CheckedOffice(CheckedOffice&& other) noexcept;
    CheckedOffice& operator=(CheckedOffice&& other) noexcept;
    ~CheckedOffice();

    // The office, leaving this empty; empty when there is none.
    std::unique_ptr<word::Application> take();

private:
    std::unique_ptr<word::Application> mApplication;
};
