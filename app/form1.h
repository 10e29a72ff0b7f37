#pragma once

#include "preview_hand_over.h"
#include "run_host.h"
#include "skin_framework.h"
#include "window_pointer.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class BookRow;
class PictureRow;
class Form2;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The main window: the raffle's eight fields, the three buttons, the progress bar and, below it,
// the row for books of tickets. Its load sequence is the program's entry into its own logic;
// closing it ends the program.
class Form1 : public QWidget, public RunHost
{
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence; runs once before the window is first shown.
    void Form_Load();
    // Shows the window at its designed size, centred on the screen.
    void showCentred();

    // Field n, 1..8.
    QLineEdit* Text(int n) const { return mText.at(static_cast<size_t>(n - 1)); }
    QGroupBox* Frame(int n) const { return mFrame.at(static_cast<size_t>(n - 1)); }
    // First number, order, paper and the numbers the run makes.
    BookRow* bookRow() const { return mBookRow; }
    PictureRow* pictureRow() const { return mPictureRow; }

    QPushButton* PushButton6 = nullptr; // "Start Creating Template"
    QPushButton* PushButton2 = nullptr; // "Help"
    QPushButton* PushButton3 = nullptr; // "Load Sample/Example Data"
    QProgressBar* ProgressBar1 = nullptr;
    SkinFramework SkinFramework1;

    WindowPointer& pointer() { return mPointer; }

    // True while a generation run is in progress.
    bool mBusy = false;

    // The office check at the end of the load sequence; the program installs the real one.
    static void setOfficeCheck(std::function<void()> check);
    // The preview window, once a run has handed a document over.
    Form2* preview() const { return mPreview.form(); }

    // The generation run reads and drives the window through these.
    QByteArray templateBytes(Paper paper) const override;
    BookChoices bookChoices() const override;
    QByteArray ticketPicture() const override { return mPicture; }
    QString fieldText(int n) const override;
    bool busy() const override { return mBusy; }
    void setBusy(bool busy) override { mBusy = busy; }
    void setHourglass(bool on) override;
    void setProgressValue(int value) override;
    void setProgressText(const QString& text) override;
    void processEvents() override;
    void loadPreview() override { mPreview.load(); }
    void setPreviewPicture(const QImage& picture) override { mPreview.setPicture(picture); }
    void setPreviewResult(const RunResult& result) override { mPreview.setResult(result); }
    void showPreview() override { mPreview.show(); }
    void hideMain() override;

    void PushButton6_Click();
    void PushButton2_Click();
    void PushButton3_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildField(int index);
    void buildProgressBar();
    void setFocusOrder();
    // Sets a field as the program does: counts as a change, so it is saved at once. A failing
    // save reaches the caller's trap.
    void assignField(int index, const QString& text);
    void onFieldEdited(int index);
    void reportSaveFailure(const QString& message);
    void Text8_LostFocus();
    void openWebSiteOccasionally();

    BookRow* mBookRow = nullptr;
    PictureRow* mPictureRow = nullptr;
    QByteArray mPicture; // the picture of the run being started, as read
    std::array<QGroupBox*, 8> mFrame{};
    std::array<QLineEdit*, 8> mText{};
    WindowPointer mPointer;
    bool mAssigning = false;
    bool mSaveFailureShown = false;
    PreviewHandOver mPreview;
};
