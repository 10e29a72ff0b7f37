#pragma once

#include "book_choices.h"
#include "picture_model.h"
#include "save_result.h"
#include "window_pointer.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class PictureBox;
class QGroupBox;
class QPushButton;
class QScrollBar;

// The preview window: shows the generated document as a picture that can be zoomed, scrolled
// and dragged, saves a copy of the document, or goes back to the main window. From the
// hand-over on it owns the document: "< Back" and closing delete it; closing ends the program.
//
// Hand-over: setPicture(picture); mWordFile = path; show(); mainWindow->hide();
// The first activation after that runs the preview set-up.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // Runs Form_Load. "< Back" shows mainWindow again.
    explicit Form2(QWidget* mainWindow);

    // Full path of the generated document.
    QString mWordFile;

    // How "Save Results" writes a PDF; without one, a PDF is refused with a report.
    void setPdfWriter(PdfWriter writer) { mPdfWriter = std::move(writer); }
    // What "Print..." tells the printer: the job's name, and the document's paper and pages;
    // and the numbers it carries ("Tickets 0001 to 0025"), for the picture's description.
    void setPrintable(const QString& title, Paper paper, int pages, const QString& numbers = {})
    {
        mPrintTitle = title;
        mPaper = paper;
        mPages = pages;
        mNumbers = numbers;
    }

    // Puts the picture into Picture1 and makes the next activation run the set-up.
    void setPicture(const QImage& picture);

    // Runs the set-up when one is due, then clears the flag. Called on window activation and
    // after the first show following a hand-over, whichever comes first.
    void Form_Activate();
    bool setupDue() const { return mFirstActivate; }

    const PictureModel& model() const { return mModel; }
    WindowPointer& pointer() { return mPointer; }
    // Picture size in twips from the picture's own resolution (96 dpi when it has none).
    static QSizeF pictureTwips(const QImage& picture);

    // Controls, named as in the window's layout.
    QWidget* Picture2 = nullptr;
    PictureBox* Picture1 = nullptr;
    PictureBox* Zoom_Ori = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton9 = nullptr; // "Print..."

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildView();
    void buildScrollBars();
    void connectButtons();
    void Form_Load();
    void Form_QueryUnload();
    void Form_Unload();
    void PushButton8_Click();
    void PushButton6_Click();
    void PushButton9_Click();
    void paintPicture1(QSize target, QSize source);
    void showPictureAsHeld();
    // Puts the model's geometry and bar state onto the widgets.
    void syncWidgets();
    void userScrolled(bool horizontal, int value);
    float toTwips(qreal pixels) const;
    int toPixels(qreal twips) const;
    // A size in twips as the screen's device pixels.
    QSize devicePixels(QSizeF twips) const;
    void removeDocument();
    void alone(const std::function<void()>& work);
    void describePicture();

    QPointer<QWidget> mMainWindow;
    PictureModel mModel;
    WindowPointer mPointer;
    bool mFirstActivate = false;
    bool mActivating = false;
    bool mCentred = false;
    bool mSyncing = false;
    PdfWriter mPdfWriter;
    QString mPrintTitle;
    Paper mPaper = Paper::Letter;
    int mPages = 1;
    QString mNumbers;
    // A save is under way: a second click on the button waits for nothing and does nothing.
    bool mSaving = false;
};
