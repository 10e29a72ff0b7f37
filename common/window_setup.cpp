#include "window_setup.h"

#include "app_identity.h"
#include "appearance.h"
#include "cursor_file.h"
#include "seams.h"
#include "twips.h"
#include "window_pointer.h"

#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace WindowSetup {

qreal dpi(const QWidget& widget)
{
    return widget.logicalDpiX() > 0 ? qreal(widget.logicalDpiX()) : 96.0;
}

QFont designFont(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void fixWindow(QWidget& window, QSize twips)
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    const qreal screenDpi = dpi(window);
    window.setFixedSize(twips::toPixels(twips.width(), screenDpi),
                        twips::toPixels(twips.height(), screenDpi));
    window.setFont(designFont(9));
    window.setMouseTracking(true);
}

void place(QWidget& control, const QRect& twips)
{
    control.setGeometry(twips::toPixels(twips, dpi(control)));
}

void paintWhite(QWidget& widget)
{
    QPalette white = widget.palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, InkOnWhite(white.color(QPalette::WindowText)));
    widget.setPalette(white);
    widget.setAutoFillBackground(true);
}

QPushButton* designButton(QWidget* parent, const QString& name, const QString& caption,
                          const QRect& twips, QObject* hoverWatcher)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(designFont(11.25));
    PaintButtonWhite(*button);
    button->setMouseTracking(true);
    button->installEventFilter(hoverWatcher);
    place(*button, twips);
    return button;
}

QString handCursorPath()
{
    return Seams::current().programFolder() + QLatin1Char('/') + identity::kHandCursorFile;
}

void useHandCursor(WindowPointer& pointer, const QString& path)
{
    pointer.setCustomCursor(CursorFile::load(path));
}

void centreOnScreen(QWidget& window)
{
    if (QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace WindowSetup
