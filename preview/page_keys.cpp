#include "page_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QScrollBar>

namespace {

using Slider = QAbstractSlider;

// What each key does to the bar across and to the bar up and down.
struct Move
{
    int key;
    Slider::SliderAction across;
    Slider::SliderAction upDown;
};

const Move kMoves[] = {
    {Qt::Key_Left, Slider::SliderSingleStepSub, Slider::SliderNoAction},
    {Qt::Key_Right, Slider::SliderSingleStepAdd, Slider::SliderNoAction},
    {Qt::Key_Up, Slider::SliderNoAction, Slider::SliderSingleStepSub},
    {Qt::Key_Down, Slider::SliderNoAction, Slider::SliderSingleStepAdd},
    {Qt::Key_PageUp, Slider::SliderNoAction, Slider::SliderPageStepSub},
    {Qt::Key_PageDown, Slider::SliderNoAction, Slider::SliderPageStepAdd},
    {Qt::Key_Home, Slider::SliderToMinimum, Slider::SliderToMinimum},
    {Qt::Key_End, Slider::SliderToMaximum, Slider::SliderToMaximum},
};

void step(QScrollBar* bar, Slider::SliderAction action)
{
    if (action != Slider::SliderNoAction && bar->isEnabled()) {
        bar->triggerAction(action);
    }
}

} // namespace

PageKeys::PageKeys(QWidget* view, QScrollBar* across, QScrollBar* upDown, QAbstractButton* zoomIn,
                   QAbstractButton* zoomOut)
    : QObject(view), mAcross(across), mUpDown(upDown), mZoomIn(zoomIn), mZoomOut(zoomOut)
{
    view->installEventFilter(this);
}

bool PageKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && press(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool PageKeys::press(const QKeyEvent& key)
{
    if (key.modifiers().testFlag(Qt::ControlModifier)) {
        // Key_Equal: the plus key's own, unshifted.
        QAbstractButton* const zoom = key.key() == Qt::Key_Plus || key.key() == Qt::Key_Equal
                                          ? mZoomIn
                                      : key.key() == Qt::Key_Minus ? mZoomOut
                                                                   : nullptr;
        if (zoom != nullptr) {
            zoom->click();
            return true;
        }
    }
    for (const Move& move : kMoves) {
        if (move.key == key.key()) {
            step(mAcross, move.across);
            step(mUpDown, move.upDown);
            return true;
        }
    }
    return false;
}
