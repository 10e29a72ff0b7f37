#pragma once

#include <QObject>

class QAbstractButton;
class QKeyEvent;
class QScrollBar;

// The page's view from the keyboard, for a person without a mouse: arrows, Page Up and Down,
// Home (the top left corner) and End (the bottom right) move the page as its scroll bars do;
// Ctrl++ (or Ctrl+=) and Ctrl+- zoom as the zoom buttons do. An event filter on the view.
class PageKeys : public QObject
{
public:
    PageKeys(QWidget* view, QScrollBar* across, QScrollBar* upDown, QAbstractButton* zoomIn,
             QAbstractButton* zoomOut);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was one of the view's.
    bool press(const QKeyEvent& key);

    QScrollBar* mAcross;
    QScrollBar* mUpDown;
    QAbstractButton* mZoomIn;
    QAbstractButton* mZoomOut;
};
