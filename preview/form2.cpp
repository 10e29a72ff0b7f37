#include "form2.h"

#include "accessible_names.h"
#include "app_error.h"
#include "app_identity.h"
#include "appearance.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "page_keys.h"
#include "picture_box.h"
#include "print_result.h"
#include "save_result.h"
#include "seams.h"
#include "twips.h"
#include "window_setup.h"
#include "working_files.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

#include <cmath>

namespace {

// Layout in twips: left, top, width, height; children relative to their container.
// The client area grows by a row for "Print...", below the save button.
constexpr QSize kClient(9840, 9900);
const QRect kPicture2(120, 120, 9330, 7425);
const QRect kPicture1(0, 0, 2340, 3435);
const QRect kVScroll1(9450, 120, 255, 7425);
const QRect kHScroll1(120, 7545, 9330, 255);
const QRect kFrame1(120, 7860, 9600, 855);
const QRect kPushButton1(240, 300, 4440, 405);
const QRect kPushButton2(4800, 300, 4560, 405);
const QRect kPushButton8(120, 8850, 4680, 405);
const QRect kPushButton6(4920, 8850, 4800, 405);
const QRect kPushButton9(4920, 9360, 4800, 405);
const QRect kZoomOri(10320, 480, 735, 375);

QString location(const char* procedure)
{
    return identity::location(QStringLiteral("Form2"), QString::fromLatin1(procedure));
}

} // namespace

Form2::Form2(QWidget* mainWindow)
    : QWidget(nullptr), mMainWindow(mainWindow),
      mModel(kPicture2.size(), kPicture2.size(), QStringLiteral("Form2")), mPointer(this)
{
    buildControls();
    mModel.setHooks({
        [this] { Zoom_Ori->setPicture(Picture1->picture()); },
        [this](QSize target, QSize source) { paintPicture1(target, source); },
        [this] { mPointer.set(WindowPointer::Default); },
    });
    Form_Load();
}

void Form2::buildControls()
{
    WindowSetup::fixWindow(*this, kClient);
    buildView();
    buildScrollBars();

    Frame1 = new QGroupBox(QStringLiteral("Zoom:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    WindowSetup::place(*Frame1, kFrame1);
    WindowSetup::paintWhite(*Frame1);
    PushButton1 = WindowSetup::designButton(Frame1, QStringLiteral("PushButton1"),
                                            QStringLiteral("Zoom In"), kPushButton1, this);
    PushButton2 = WindowSetup::designButton(Frame1, QStringLiteral("PushButton2"),
                                            QStringLiteral("Zoom Out"), kPushButton2, this);
    PushButton8 = WindowSetup::designButton(this, QStringLiteral("PushButton8"),
                                            QStringLiteral("< Back"), kPushButton8, this);
    PushButton6 =
        WindowSetup::designButton(this, QStringLiteral("PushButton6"),
                                  QStringLiteral("Save Results To Word File"), kPushButton6, this);
    PushButton9 = WindowSetup::designButton(this, QStringLiteral("PushButton9"),
                                            QString::fromUtf8("Print…"), kPushButton9, this);
    Frame1->setMouseTracking(true);
    Frame1->installEventFilter(this);

    // Holds the unzoomed picture; it lies outside the client area and is never shown.
    Zoom_Ori = new PictureBox(this);
    Zoom_Ori->setObjectName(QStringLiteral("Zoom_Ori"));
    WindowSetup::place(*Zoom_Ori, kZoomOri);
    MarkAsPictureBox(*Zoom_Ori);
    Zoom_Ori->hide();

    new PageKeys(Picture2, HScroll1, VScroll1, PushButton1, PushButton2);
    connectButtons();
    setTabOrder(Picture2, PushButton1);
    setTabOrder(PushButton1, PushButton2);
    setTabOrder(PushButton2, PushButton8);
    setTabOrder(PushButton8, PushButton6);
    setTabOrder(PushButton6, PushButton9);
}

void Form2::buildView()
{
    // The view clips the picture; the picture moves inside it by negative offsets.
    Picture2 = new QWidget(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    WindowSetup::place(*Picture2, kPicture2);
    WindowSetup::paintWhite(*Picture2);
    MarkAsPictureBox(*Picture2);
    // The page as a screen reader knows it, and a place for the keyboard: the first stop of Tab.
    AccessibleNames::markGraphic(*Picture2);
    Picture2->setAccessibleName(QStringLiteral("Ticket document"));
    Picture2->setFocusPolicy(Qt::StrongFocus);

    Picture1 = new PictureBox(Picture2);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    WindowSetup::place(*Picture1, kPicture1);
    MarkAsPictureBox(*Picture1);
    Picture1->onMouseDown = [this](QPointF pos) {
        mModel.Picture1_MouseDown(toTwips(pos.x()), toTwips(pos.y()));
    };
    Picture1->onMouseMove = [this](Qt::MouseButtons buttons, QPointF pos) {
        mModel.Picture1_MouseMove(buttons != Qt::NoButton, toTwips(pos.x()), toTwips(pos.y()));
        syncWidgets();
    };
    Picture1->onMouseUp = [this] {
        mModel.Picture1_MouseUp();
        syncWidgets();
    };
}

void Form2::buildScrollBars()
{
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    WindowSetup::place(*VScroll1, kVScroll1);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    WindowSetup::place(*HScroll1, kHScroll1);
    HScroll1->setAccessibleName(QStringLiteral("Scroll the page across"));
    VScroll1->setAccessibleName(QStringLiteral("Scroll the page up and down"));
    for (QScrollBar* bar : {HScroll1, VScroll1}) {
        const bool horizontal = bar == HScroll1;
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // The picture follows the thumb when it is released, like an arrow or trough click.
        bar->setTracking(false);
        connect(bar, &QScrollBar::valueChanged, this,
                [this, horizontal](int value) { userScrolled(horizontal, value); });
    }
}

void Form2::connectButtons()
{
    connect(PushButton1, &QPushButton::clicked, this, [this] {
        mModel.PushButton1_Click();
        syncWidgets();
    });
    connect(PushButton2, &QPushButton::clicked, this, [this] {
        mModel.PushButton2_Click();
        syncWidgets();
    });
    connect(PushButton8, &QPushButton::clicked, this, [this] { PushButton8_Click(); });
    connect(PushButton6, &QPushButton::clicked, this, [this] { PushButton6_Click(); });
    connect(PushButton9, &QPushButton::clicked, this, [this] { PushButton9_Click(); });
    auto* print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, this, [this] { PushButton9_Click(); });
}

void Form2::Form_Load()
{
    ErrorTrap trap(location("Form_Load"));
    trap.step(100, [&] { mFirstActivate = true; });
    trap.step(102, [&] { SetFormBackColors(*this); });
    trap.step(104, [&] { setWindowTitle(identity::kProductName); });
    trap.step(106, [&] { setWindowIcon(QApplication::windowIcon()); });
    QString cursorPath;
    trap.step(108, [&] { cursorPath = WindowSetup::handCursorPath(); });
    trap.step(110, [&] {
        // Without the file the hover rules still run; the platform's hand stands in.
        if (FileExists(cursorPath)) {
            WindowSetup::useHandCursor(mPointer, cursorPath);
        }
    });
}

QSizeF Form2::pictureTwips(const QImage& picture)
{
    return PictureBox::twipsOf(picture);
}

void Form2::setPicture(const QImage& picture)
{
    Picture1->setPicture(picture);
    const QSizeF twips = pictureTwips(picture);
    mModel.setPicture(float(twips.width()), float(twips.height()));
    showPictureAsHeld();
    mFirstActivate = true;
    syncWidgets();
}

void Form2::showPictureAsHeld()
{
    const QImage& picture = Picture1->picture();
    Picture1->setDrawing(PictureBox::drawingOf(
        picture, picture.rect(), devicePixels(pictureTwips(picture)), devicePixelRatioF()));
}

void Form2::paintPicture1(QSize target, QSize source)
{
    // The source keeps its full resolution; only the drawing is sized for the screen, so a
    // zoomed picture stays sharp.
    Picture1->setPicture(QImage());
    const QImage& original = Zoom_Ori->picture();
    const QSize pixels = devicePixels(target);
    QPixmap drawing;
    if (!original.isNull() && !pixels.isEmpty() && !source.isEmpty()) {
        drawing = PictureBox::drawingOf(original, PictureBox::pixelsOf(original, source), pixels,
                                        devicePixelRatioF());
        if (drawing.isNull()) {
            throw AppError(QStringLiteral("Out of memory"));
        }
    }
    Picture1->setDrawing(drawing);
}

QSize Form2::devicePixels(QSizeF twips) const
{
    const qreal ratio = devicePixelRatioF();
    return {qRound(toPixels(twips.width()) * ratio), qRound(toPixels(twips.height()) * ratio)};
}

void Form2::Form_Activate()
{
    // A report shown during the set-up reactivates the window; the set-up runs only once.
    if (mActivating) {
        return;
    }
    mActivating = true;
    ErrorTrap trap(location("Form_Activate"));
    bool due = false;
    trap.step(100, [&] { due = mFirstActivate; });
    if (due) {
        mModel.PreviewSetup(trap, 102);
    }
    trap.step(114, [&] { mFirstActivate = false; });
    mActivating = false;
    syncWidgets();
}

bool Form2::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mCentred) {
        mCentred = true;
        WindowSetup::centreOnScreen(*this);
    }
    // Without a window manager no activation may come; the first show after a hand-over
    // stands in for it once the show has finished.
    if (mFirstActivate) {
        QMetaObject::invokeMethod(
            this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    }
}

void Form2::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    Form_Unload();
}

void Form2::Form_QueryUnload()
{
    ErrorTrap trap(location("Form_QueryUnload"));
    trap.step(100, [&] { removeDocument(); });
    trap.step(102, [&] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    });
}

// The document goes with the preview; an ending that cannot wait need not remove it any more.
void Form2::removeDocument()
{
    DeleteFileQuietly(mWordFile);
    working_files::forget(mWordFile);
}

void Form2::Form_Unload()
{
    Seams::current().endProgram();
}

void Form2::PushButton8_Click()
{
    ErrorTrap trap(location("PushButton8_Click"));
    trap.step(100, [&] { removeDocument(); });
    trap.step(102, [&] {
        if (mMainWindow) {
            mMainWindow->show();
        }
    });
    trap.step(104, [&] { hide(); });
}

void Form2::PushButton6_Click()
{
    // Reports its own failures, never throws.
    alone([this] { SaveResultDocument(this, mWordFile, mPdfWriter); });
}

void Form2::PushButton9_Click()
{
    alone([this] {
        PrintResultDocument(this, {mWordFile, mPrintTitle, mPaper, mPages}, mPdfWriter);
    });
}

// A PDF or a print lets events run while it goes on, so a second click or Ctrl+P can come
// meanwhile: it does nothing.
void Form2::alone(const std::function<void()>& work)
{
    if (mSaving) {
        return;
    }
    mSaving = true;
    work();
    mSaving = false;
}

void Form2::mouseMoveEvent(QMouseEvent* event)
{
    mPointer.hoverReset();
    QWidget::mouseMoveEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == Frame1) {
            mPointer.hoverReset();
        } else if (watched == PushButton1 || watched == PushButton2 || watched == PushButton6 ||
                   watched == PushButton8 || watched == PushButton9) {
            mPointer.hoverHand();
            // A button ignores a move without a pressed mouse button, which would pass it on
            // to the frame or the window and reset the pointer at once.
            return static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// What a sighted person sees of the picture, for a screen reader.
void Form2::describePicture()
{
    QString numbers = mNumbers;
    if (!numbers.isEmpty()) {
        numbers[0] = numbers[0].toLower();
    }
    AccessibleNames::describe(
        *Picture2, QStringLiteral("Page 1 of %1%2, zoom %3 %")
                       .arg(mPages)
                       .arg(numbers.isEmpty() ? QString() : QStringLiteral(", ") + numbers)
                       .arg(qRound(mModel.zoom() * 100)));
}

void Form2::userScrolled(bool horizontal, int value)
{
    if (mSyncing) {
        return;
    }
    try {
        if (horizontal) {
            mModel.setHScrollValue(static_cast<qint16>(value));
        } else {
            mModel.setVScrollValue(static_cast<qint16>(value));
        }
    } catch (const AppError&) {
        // A scroll position beyond 16-bit twips leaves the picture where it is.
    }
    syncWidgets();
}

void Form2::syncWidgets()
{
    mSyncing = true;
    Picture1->setGeometry(toPixels(mModel.picture1Left()), toPixels(mModel.picture1Top()),
                          qMax(0, toPixels(mModel.picture1Width())),
                          qMax(0, toPixels(mModel.picture1Height())));
    const auto mirror = [](QScrollBar* bar, const PictureModel::ScrollBar& state) {
        const QSignalBlocker quiet(bar);
        bar->setRange(0, state.maximum);
        bar->setValue(state.value);
        bar->setEnabled(state.enabled);
    };
    mirror(HScroll1, mModel.hScroll());
    mirror(VScroll1, mModel.vScroll());
    mSyncing = false;
    describePicture();
}

float Form2::toTwips(qreal pixels) const
{
    return float(twips::toTwips(pixels, WindowSetup::dpi(*this)));
}

int Form2::toPixels(qreal twips) const
{
    return twips::toPixels(twips, WindowSetup::dpi(*this));
}
