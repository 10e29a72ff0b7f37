#include "clipboard_picture.h"

#include <QClipboard>
#include <QGuiApplication>

QImage GetClipboardPicture(int format)
{
    Q_UNUSED(format); // every picture format the clipboard offers is accepted
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return {};
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QImage picture = clipboard->image();
        if (!picture.isNull()) {
            return picture;
        }
    }
    return {};
}
