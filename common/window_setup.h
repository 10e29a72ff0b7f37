#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QObject;
class QPushButton;
class QWidget;
class WindowPointer;

// What the main window and the preview have in common when they are set up: the design font,
// the layout in twips, white backgrounds, the push buttons, the hand cursor and the place on
// the screen.
namespace WindowSetup {

// The screen's logical DPI for a widget; 96 when the platform reports none.
qreal dpi(const QWidget& widget);

// Arial bold at the given size: 9 pt for the windows, 11.25 pt for the push buttons.
QFont designFont(qreal points);

// A fixed single border without maximise button, the client area at its designed size in
// twips, the window font, and mouse moves seen without a pressed button (the hover rules).
void fixWindow(QWidget& window, QSize twips);

// Puts a control at its designed place and size in twips, relative to its container.
void place(QWidget& control, const QRect& twips);

// The designed white background (0x00FFFFFF) of a window, frame or picture box.
void paintWhite(QWidget& widget);

// A push button as designed: caption in 11.25 pt, button-text colour on white, placed in
// twips; its mouse moves reach hoverWatcher, which applies the hover rules.
QPushButton* designButton(QWidget* parent, const QString& name, const QString& caption,
                          const QRect& twips, QObject* hoverWatcher);

// Where the hand cursor file is expected: beside the program.
QString handCursorPath();
// Reads the cursor file at path and makes it the pointer's custom image; a broken file throws
// AppError and leaves the pointer as it was.
void useHandCursor(WindowPointer& pointer, const QString& path);

// Moves a window, frame included, to the centre of its screen's available area.
void centreOnScreen(QWidget& window);

} // namespace WindowSetup
