#include "appearance.h"

#include "app_identity.h"
#include "seams.h"
#include "skin_framework.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

constexpr char kPictureBoxProperty[] = "ticketwrightPictureBox";

void paintBackground(QWidget& widget, const QColor& colour)
{
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, colour);
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

// Frames, labels, check boxes and radio buttons; picture boxes only when asked for.
bool isBackgroundControl(const QWidget& widget, bool withPictureBoxes)
{
    if (IsPictureBox(widget)) {
        return withPictureBoxes;
    }
    return qobject_cast<const QGroupBox*>(&widget) != nullptr ||
           qobject_cast<const QLabel*>(&widget) != nullptr ||
           qobject_cast<const QCheckBox*>(&widget) != nullptr ||
           qobject_cast<const QRadioButton*>(&widget) != nullptr;
}

void paintWindow(QWidget& window, bool withPictureBoxes)
{
    const QColor face = ButtonFaceColour();
    paintBackground(window, face);
    // In the order the controls were created, like the window's own control list.
    const auto controls = window.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->isWindow()) {
            continue; // another window owned by this one
        }
        if (isBackgroundControl(*control, withPictureBoxes)) {
            paintBackground(*control, face);
        }
    }
}

} // namespace

QColor ButtonFaceColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

void PaintButtonWhite(QWidget& button)
{
    QPalette colours = button.palette();
    colours.setColor(QPalette::Button, Qt::white);
    colours.setColor(QPalette::ButtonText, InkOnWhite(colours.color(QPalette::ButtonText)));
    button.setPalette(colours);
}

QColor InkOnWhite(const QColor& paletteText)
{
    return paletteText.lightness() > 128 ? QColor(Qt::black) : paletteText;
}

void MarkAsPictureBox(QWidget& widget)
{
    widget.setProperty(kPictureBoxProperty, true);
}

bool IsPictureBox(const QWidget& widget)
{
    return widget.property(kPictureBoxProperty).toBool();
}

void SkinMainWindow(QWidget& mainWindow, SkinFramework& skin)
{
    const QString path = Seams::current().programFolder() + QLatin1Char('/') + identity::kSkinFile;
    // Only a plain file counts: no folder, no hidden file.
    const QFileInfo found(path);
    if (!found.exists() || !found.isFile() || found.isHidden()) {
        return;
    }
    paintWindow(mainWindow, true);
    skin.LoadSkin(path, QString());
    skin.setOptions(skin.options() | 1);
    skin.ApplyWindow(mainWindow);
}

void SetFormBackColors(QWidget& window)
{
    paintWindow(window, false);
}
