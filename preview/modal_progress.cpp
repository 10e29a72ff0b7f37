#include "modal_progress.h"

#include <QCoreApplication>

#include <algorithm>

ModalProgress::ModalProgress(QWidget* parent, const QString& title, const QString& label,
                             const QString& cancelText, int showAfterMs)
    : mDialog(label, cancelText, 0, 100, parent)
{
    mDialog.setWindowTitle(title);
    mDialog.setWindowModality(Qt::ApplicationModal);
    mDialog.setMinimumDuration(showAfterMs);
    mDialog.setAutoClose(false);
    mDialog.setAutoReset(false);
    mDialog.setValue(0);
}

void ModalProgress::setValue(int value)
{
    mDialog.setMaximum(value < 0 ? 0 : 100);
    mDialog.setValue(std::clamp(value, 0, 100));
    QCoreApplication::processEvents();
}
