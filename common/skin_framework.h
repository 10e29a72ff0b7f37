#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// Draws a skin over a window. Offers the operations of a skin control by their numbers:
// 2 load a skin file, 1 option bits, 5 and 10 switches, 3 apply to a window.
class SkinFramework
{
public:
    // Operation 2: loads the skin file (the second text is unused and may be empty).
    void LoadSkin(const QString& path, const QString& iniName);
    // Property 1: option bits.
    qint32 options() const { return mOptions; }
    void setOptions(qint32 bits) { mOptions = bits; }
    // Properties 5 and 10: switches.
    void setSwitch5(bool on) { mSwitch5 = on; }
    void setSwitch10(bool on) { mSwitch10 = on; }
    // Operation 3: applies the loaded skin to the window.
    void ApplyWindow(QWidget& window);

private:
    QString mStyleSheet;
    qint32 mOptions = 0;
    bool mSwitch5 = false;
    bool mSwitch10 = false;
};
