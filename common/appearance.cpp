#include "appearance.h"

#include "skin_framework.h"

// Placeholder until the appearance helpers land; the main window calls them from its load.
void SkinMainWindow(QWidget& mainWindow, SkinFramework& skin)
{
    Q_UNUSED(mainWindow);
    Q_UNUSED(skin);
}

void SetFormBackColors(QWidget& window)
{
    Q_UNUSED(window);
}
