#include "skin_framework.h"

void SkinFramework::LoadSkin(const QString& path, const QString& iniName)
{
    Q_UNUSED(path);
    Q_UNUSED(iniName);
}

void SkinFramework::ApplyWindow(QWidget& window)
{
    Q_UNUSED(window);
}
