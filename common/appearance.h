#pragma once

#include <QWidget>

class SkinFramework;

// With the skin file beside the program: the main window and its frames take the button-face
// colour, then the skin is applied. Without it nothing changes. Failures throw to the caller.
void SkinMainWindow(QWidget& mainWindow, SkinFramework& skin);

// The window and its frames and labels take the button-face colour; picture boxes keep theirs.
void SetFormBackColors(QWidget& window);
