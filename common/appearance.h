#pragma once

#include <QColor>
#include <QWidget>

class SkinFramework;

// With the skin file beside the program: the main window and its frames, labels, check boxes,
// radio buttons and picture boxes take the button-face colour, then the skin is applied.
// Without it nothing changes. Failures throw to the caller.
void SkinMainWindow(QWidget& mainWindow, SkinFramework& skin);

// The window and its frames, labels, check boxes and radio buttons take the button-face colour;
// picture boxes keep theirs.
void SetFormBackColors(QWidget& window);

// The platform's colour for the face of buttons.
QColor ButtonFaceColour();

// The designed look of the program's push buttons: button-text colour on white.
void PaintButtonWhite(QWidget& button);

// The colour text takes on a white ground: the palette's own, unless that is a light colour (a
// dark desktop), which white would swallow; then black.
QColor InkOnWhite(const QColor& paletteText);

// Picture boxes are plain widgets that show a picture; they are marked so the helpers above can
// tell them from other widgets.
void MarkAsPictureBox(QWidget& widget);
bool IsPictureBox(const QWidget& widget);
