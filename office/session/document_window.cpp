#include "document_window.h"

#include "uno_support.h"

#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <utility>

namespace word {

using namespace word::uno;

DocumentWindow::DocumentWindow(const Reference<css::frame::XModel>& model,
                               std::function<void()> changed)
    : mModel(model), mChanged(std::move(changed))
{
    const auto controller = mModel->getCurrentController();
    mOpened = controller.is();
    mSuspended = controller.is() && controller->suspend(true);
    lock();
}

void DocumentWindow::lock()
{
    if (!mLocked) {
        mModel->lockControllers();
        mLocked = true;
    }
}

void DocumentWindow::showPages()
{
    if (mSuspended) {
        mModel->getCurrentController()->suspend(false);
        mSuspended = false;
    }
    if (mLocked) {
        mModel->unlockControllers();
        mLocked = false;
    }
}

void DocumentWindow::putAside()
{
    const auto controller = mModel->getCurrentController();
    if (!controller.is()) {
        return;
    }
    const Reference<css::frame::XFrame> frame = controller->getFrame();
    mAside = true;
    mSuspended = false; // the suspended view goes with its frame
    frame->setComponent(nullptr, nullptr);
    Reference<css::util::XCloseable>(frame, UNO_QUERY_THROW)->close(true);
    mChanged();
}

void DocumentWindow::giveBack(const std::function<void()>& attach)
{
    if (!mAside) {
        return;
    }
    attach();
    mAside = false;
    const auto controller = mModel->getCurrentController();
    mSuspended = controller.is() && controller->suspend(true);
    mChanged();
}

} // namespace word
