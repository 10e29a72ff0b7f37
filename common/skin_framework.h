#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// Draws a skin over a window. Offers the operations of a skin control by their numbers:
// 2 load a skin file, 1 option bits, 3 apply to a window.
// A skin file is a Qt style sheet in UTF-8.
class SkinFramework
{
public:
    // Largest skin file accepted.
    static constexpr qint64 kMaxSkinBytes = 256 * 1024;

    // Operation 2: loads the skin file (the second text is unused and may be empty). A folder,
    // an empty, oversized or non-text file throws AppError and leaves the loaded skin as it was.
    void LoadSkin(const QString& path, const QString& iniName);
    // Property 1: option bits.
    qint32 options() const { return mOptions; }
    void setOptions(qint32 bits) { mOptions = bits; }
    // Operation 3: applies the loaded skin to the window and everything in it. Throws AppError
    // when no skin was loaded.
    void ApplyWindow(QWidget& window);

    const QString& styleSheet() const { return mStyleSheet; }

    // The style sheet held by skin file bytes; throws AppError with the reason when the bytes
    // are not one.
    static QString decodeSkin(const QByteArray& bytes);

private:
    QString mStyleSheet;
    bool mLoaded = false;
    qint32 mOptions = 0;
};
