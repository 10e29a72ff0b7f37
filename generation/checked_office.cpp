#include "checked_office.h"

#include "word_automation.h"

#include <utility>

CheckedOffice::CheckedOffice() = default;

CheckedOffice::CheckedOffice(std::unique_ptr<word::Application> application)
    : mApplication(std::move(application))
{}

CheckedOffice::CheckedOffice(CheckedOffice&& other) noexcept = default;

CheckedOffice& CheckedOffice::operator=(CheckedOffice&& other) noexcept = default;

CheckedOffice::~CheckedOffice()
{
    if (mApplication) {
        try {
            mApplication->quit();
        } catch (...) {
            // Ending an office nobody used; its files go with the program's other offices.
        }
    }
}

std::unique_ptr<word::Application> CheckedOffice::take()
{
    return std::move(mApplication);
}
