#pragma once

#include <QProgressDialog>
#include <QString>

class QWidget;

// The progress of a long save or print, modal to the whole program: the windows repaint at each
// step, and none takes input but its own Cancel, when it has one (a cancel text).
class ModalProgress
{
public:
    ModalProgress(QWidget* parent, const QString& title, const QString& label,
                  const QString& cancelText, int showAfterMs);

    // 0 to 100; -1 while it cannot tell how far (the bar then shows that it is busy). The
    // windows' events run once.
    void setValue(int value);
    void setLabel(const QString& text) { mDialog.setLabelText(text); }
    bool cancelled() const { return mDialog.wasCanceled(); }

private:
    QProgressDialog mDialog;
};
