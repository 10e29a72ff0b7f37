#include "picture_in_advance.h"

#include "word_automation.h"

#include <atomic>
#include <system_error>

namespace {

std::atomic<bool>& enabledFlag()
{
    static std::atomic<bool> flag{false};
    return flag;
}

} // namespace

void PictureInAdvance::setEnabled(bool enabled)
{
    enabledFlag() = enabled;
}

bool PictureInAdvance::enabled()
{
    return enabledFlag();
}

PictureInAdvance::PictureInAdvance(const QString& file)
{
    try {
        mApplication = word::Application::create();
    } catch (...) {
        mStartFailure = std::current_exception();
        return;
    }
    word::Application* const application = mApplication.get();
    const auto steps = [application, file] {
        Ahead ahead;
        try {
            ahead.document = application->documents().Open(file);
        } catch (...) {
            ahead.openFailure = std::current_exception();
            return ahead;
        }
        try {
            ahead.picture = ahead.document->range()->CopyAsPicture();
        } catch (...) {
            ahead.pictureFailure = std::current_exception();
        }
        return ahead;
    };
    try {
        mRunning = std::async(std::launch::async, steps);
    } catch (const std::system_error&) {
        // Only a saving: the steps run here, now, as they would have at their own steps.
        mAhead = steps();
    }
}

PictureInAdvance::~PictureInAdvance()
{
    if (mRunning.valid()) {
        mRunning.wait();
    }
}

const PictureInAdvance::Ahead& PictureInAdvance::ahead()
{
    if (!mAhead) {
        mAhead = mRunning.valid() ? mRunning.get() : Ahead{};
    }
    return *mAhead;
}

std::unique_ptr<word::Application> PictureInAdvance::takeApplication()
{
    if (mStartFailure) {
        std::rethrow_exception(mStartFailure);
    }
    // Handed over only with the steps done, so that only one thread ever drives it.
    ahead();
    return std::move(mApplication);
}

std::shared_ptr<word::Document> PictureInAdvance::document()
{
    if (ahead().openFailure) {
        std::rethrow_exception(ahead().openFailure);
    }
    return ahead().document;
}

QImage PictureInAdvance::picture()
{
    if (ahead().pictureFailure) {
        std::rethrow_exception(ahead().pictureFailure);
    }
    return ahead().picture;
}
