#pragma once

#include "book_row.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QWidget;

// The main window's row for the organiser's picture, below the book row: the chosen file's name,
// "Choose…" (the desktop's file dialog) and "None" (back to the stars). A picture is read and
// checked when it is chosen and again when a run starts, so a file that has gone or changed since
// is refused then; a choice is saved as it is made, like the fields.
class PictureRow : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTop = BookRow::kTop + BookRow::kHeight;
    static constexpr int kHeight = 930;

    PictureRow(QWidget* window, std::function<void(const QString& message)> saveFailed);

    // Shows what the settings store holds.
    void load();
    // The chosen file's full path; empty for none.
    const QString& path() const { return mPath; }
    // Reads the chosen picture for a run: true with its bytes (none without a picture), or
    // false once the person was told why it cannot be used.
    bool readForRun(QByteArray& picture);

    QLabel* PictureName = nullptr;
    QPushButton* ChoosePicture = nullptr;
    QPushButton* NoPicture = nullptr;

private:
    void choose();
    void show(const QString& path);
    void save(const QString& path);

    QWidget* mWindow;
    std::function<void(const QString&)> mSaveFailed;
    QString mPath;
};
