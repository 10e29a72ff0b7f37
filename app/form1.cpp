#include "form1.h"

#include "app_error.h"
#include "app_identity.h"
#include "appearance.h"
#include "book_row.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "generation_run.h"
#include "number_text.h"
#include "picture_row.h"
#include "seams.h"
#include "ticket_book.h"
#include "ticket_fields.h"
#include "ticket_number_check.h"
#include "ticket_template.h"
#include "window_setup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace {

std::function<void()>& officeCheck()
{
    static std::function<void()> check;
    return check;
}

QString location(const char* procedure)
{
    return identity::location(QStringLiteral("Form1"), QString::fromLatin1(procedure));
}

// Designed geometry in twips: left, top, width, height. The client area grows by the book row.
constexpr QSize kClient(8040, 6045 + BookRow::kHeight + PictureRow::kHeight);
constexpr std::array<QRect, 8> kFrames = {{
    {120, 1110, 7800, 825},
    {120, 1980, 7800, 825},
    {120, 2850, 2520, 825},
    {2760, 2850, 2520, 825},
    {5400, 2850, 2520, 825},
    {120, 3720, 5520, 825},
    {5760, 3720, 2160, 825},
    {120, 4590, 7800, 825},
}};

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), mPointer(this), mPreview(this)
{
    setObjectName(QStringLiteral("Form1"));
    buildControls();
}

Form1::~Form1() = default;

void Form1::setOfficeCheck(std::function<void()> check)
{
    officeCheck() = std::move(check);
}

void Form1::buildControls()
{
    WindowSetup::fixWindow(*this, kClient);
    WindowSetup::paintWhite(*this);
    PushButton6 = WindowSetup::designButton(this, QStringLiteral("PushButton6"),
                                            QStringLiteral("Start Creating Template"),
                                            {120, 120, 7800, 405}, this);
    PushButton2 = WindowSetup::designButton(this, QStringLiteral("PushButton2"),
                                            QStringLiteral("Help"), {120, 630, 3840, 405}, this);
    PushButton3 = WindowSetup::designButton(this, QStringLiteral("PushButton3"),
                                            QStringLiteral("Load Sample/Example Data"),
                                            {4080, 630, 3840, 405}, this);
    for (int i = 0; i < ticket_fields::kCount; ++i) {
        buildField(i);
    }
    // Text1 shares the background's pointer rule.
    Text(1)->setMouseTracking(true);
    buildProgressBar();
    mBookRow = new BookRow(
        this, [this] { return Text(8)->text(); },
        [this](const QString& message) { reportSaveFailure(message); });
    connect(Text(8), &QLineEdit::textChanged, mBookRow, &BookRow::updateRange);
    mPictureRow =
        new PictureRow(this, [this](const QString& message) { reportSaveFailure(message); });
    setFocusOrder();

    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
}

void Form1::buildField(int index)
{
    const auto at = static_cast<size_t>(index);
    const TicketField& field = ticket_fields::all()[at];
    auto* frame = new QGroupBox(QString::fromUtf8(field.frameCaption), this);
    frame->setObjectName(QStringLiteral("Frame%1").arg(index + 1));
    WindowSetup::paintWhite(*frame);
    frame->setMouseTracking(true);
    frame->installEventFilter(this);
    WindowSetup::place(*frame, kFrames[at]);

    auto* text = new QLineEdit(frame);
    text->setObjectName(QString::fromLatin1(field.settingsKey));
    WindowSetup::place(*text, {240, 300, kFrames[at].width() - 465, 345});
    text->installEventFilter(this);
    connect(text, &QLineEdit::textChanged, this, [this, index] { onFieldEdited(index); });

    mFrame[at] = frame;
    mText[at] = text;
}

void Form1::buildProgressBar()
{
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    ProgressBar1->setFormat(QStringLiteral("Progress Bar"));
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    WindowSetup::place(*ProgressBar1, {120, 5520, 7800, 405});
}

void Form1::setFocusOrder()
{
    // Fields first, then the three buttons; frames and the bar take no focus.
    for (int n = 1; n < ticket_fields::kCount; ++n) {
        setTabOrder(Text(n), Text(n + 1));
    }
    setTabOrder(Text(8), PushButton6);
    setTabOrder(PushButton6, PushButton2);
    setTabOrder(PushButton2, PushButton3);
    setTabOrder(PushButton3, mBookRow->FirstNumber);
    setTabOrder(mBookRow->FirstNumber, mBookRow->Order);
    setTabOrder(mBookRow->Order, mBookRow->Paper);
    setTabOrder(mBookRow->Paper, mPictureRow->ChoosePicture);
    setTabOrder(mPictureRow->ChoosePicture, mPictureRow->NoPicture);
    for (QGroupBox* frame : mFrame) {
        frame->setFocusPolicy(Qt::NoFocus);
    }
    ProgressBar1->setFocusPolicy(Qt::NoFocus);
}

void Form1::Form_Load()
{
    ErrorTrap trap(location("Form_Load"));
    trap.step(100, [&] { SkinMainWindow(*this, SkinFramework1); });
    trap.step(104, [&] { setWindowTitle(identity::kProductName); });
    trap.step(104, [&] { setWindowIcon(QApplication::windowIcon()); });
    // The name the system lists the program under. Not the display name: Qt would append that
    // to every window title, and a report must read exactly "Application Error".
    trap.step(104, [&] { QCoreApplication::setApplicationName(identity::applicationTitle()); });

    const QString cursorPath = WindowSetup::handCursorPath();
    bool cursorFound = true; // a failed test goes on as though it had passed
    trap.step(122, [&] { cursorFound = FileExists(cursorPath); });
    trap.step(124, [&] {
        if (cursorFound) {
            WindowSetup::useHandCursor(mPointer, cursorPath);
        }
    });
    trap.step(126, [&] { openWebSiteOccasionally(); });
    // Before the first field is read: a damaged store would be written over by the first save.
    trap.step(128, [&] { ticket_fields::setAsideDamagedStore(); });
    for (int i = 0; i < ticket_fields::kCount; ++i) {
        trap.step(128 + 2 * i, [&] { assignField(i, ticket_fields::read(i)); });
    }
    trap.step(144, [&] {
        if (officeCheck()) {
            officeCheck()();
        }
    });
    trap.step(146, [&] { mBookRow->load(); });
    trap.step(146, [&] { mPictureRow->load(); });
}

void Form1::showCentred()
{
    show();
    WindowSetup::centreOnScreen(*this);
}

void Form1::openWebSiteOccasionally()
{
    Seams& seams = Seams::current();
    seams.seedRandom(static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    const int draw = static_cast<int>(seams.random() * 100) + 1;
    if (draw == 7 && !seams.openUrl(QUrl(identity::kWebSite))) {
        throw AppError(
            QStringLiteral("The web site %1 could not be opened.").arg(identity::kWebSite));
    }
}

void Form1::assignField(int index, const QString& text)
{
    QLineEdit* field = mText[static_cast<size_t>(index)];
    mAssigning = true;
    field->setText(text);
    mAssigning = false;
    ticket_fields::write(index, field->text());
}

void Form1::onFieldEdited(int index)
{
    if (mAssigning) {
        return; // assignField saves itself, so that its failure reaches its caller's trap
    }
    try {
        ticket_fields::write(index, mText[static_cast<size_t>(index)]->text());
        mSaveFailureShown = false;
    } catch (const AppError& failure) {
        reportSaveFailure(failure.description());
    }
}

void Form1::reportSaveFailure(const QString& message)
{
    // Typing goes on; say so once rather than at every keystroke.
    if (!mSaveFailureShown) {
        mSaveFailureShown = true;
        Seams::current().messageBox(message, identity::applicationTitle(), MsgStyle::OkExclamation);
    }
}

void Form1::Text8_LostFocus()
{
    QLineEdit* field = Text(8);
    const TicketCountCheck check = checkTicketCount(field->text());
    if (check.outcome == TicketCountCheck::Outcome::Rounded) {
        if (check.text != field->text()) {
            field->setText(check.text);
        }
        return;
    }
    const QString message = check.outcome == TicketCountCheck::Outcome::NotNumeric
                                ? QStringLiteral("Must be numeric.")
                                : ticketCountRangeMessage();
    Seams::current().messageBox(message, identity::applicationTitle(), MsgStyle::Ok);
    // Back into the field once the focus change that led here has finished.
    QTimer::singleShot(0, field, [field] { field->setFocus(Qt::OtherFocusReason); });
}

void Form1::PushButton6_Click()
{
    // A count no run can make, or a first number out of range, starts nothing; a run already
    // going on says nothing here.
    const QString countProblem = ticketCountProblem(ticketsMade(Text(8)->text()));
    if (!mBusy && !countProblem.isEmpty()) {
        Seams::current().messageBox(countProblem, identity::applicationTitle(), MsgStyle::Ok);
        Text(8)->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString problem = mBookRow->firstNumberProblem();
    if (!mBusy && !problem.isEmpty()) {
        Seams::current().messageBox(problem, identity::applicationTitle(), MsgStyle::Ok);
        mBookRow->focusFirstNumber();
        return;
    }
    // A picture that cannot be used is refused before anything else is done.
    if (!mBusy && !mPictureRow->readForRun(mPicture)) {
        return;
    }
    GenerationRun::PushButton6_Click(*this);
}

QByteArray Form1::templateBytes(Paper paper) const
{
    return ticketTemplateBytes(paper);
}

BookChoices Form1::bookChoices() const
{
    BookChoices choices = mBookRow->choices();
    choices.picture = mPictureRow->path();
    return choices;
}

QString Form1::fieldText(int n) const
{
    return Text(n)->text();
}

void Form1::setHourglass(bool on)
{
    mPointer.set(on ? WindowPointer::Hourglass : WindowPointer::Default);
}

void Form1::setProgressValue(int value)
{
    ProgressBar1->setValue(value);
}

void Form1::setProgressText(const QString& text)
{
    ProgressBar1->setFormat(text);
}

void Form1::processEvents()
{
    QCoreApplication::processEvents();
}

void Form1::hideMain()
{
    hide();
}

void Form1::PushButton2_Click()
{
    ErrorTrap trap(location("PushButton2_Click"));
    trap.step(100, [&] {
        Seams::current().messageBox(QStringLiteral("Questions? Please contact Team Quorvane at ") +
                                        identity::kContactPage,
                                    identity::applicationTitle(), MsgStyle::Ok);
    });
}

void Form1::PushButton3_Click()
{
    ErrorTrap trap(location("PushButton3_Click"));
    for (int i = 0; i < ticket_fields::kCount; ++i) {
        trap.step(100 + 2 * i, [&] {
            assignField(
                i, QString::fromUtf8(ticket_fields::all()[static_cast<size_t>(i)].defaultValue));
        });
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter: // the first move over a control arrives as an enter
    case QEvent::MouseMove:
        if (watched == PushButton6 || watched == PushButton2 || watched == PushButton3) {
            mPointer.hoverHand();
        } else if (watched == Text(1) || qobject_cast<QGroupBox*>(watched) != nullptr) {
            mPointer.hoverReset();
        }
        break;
    case QEvent::FocusIn:
        if (auto* field = qobject_cast<QLineEdit*>(watched)) {
            field->selectAll();
            // A click places the cursor after focus arrives; select again once it has.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                QTimer::singleShot(0, field, [field] { field->selectAll(); });
            }
        }
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching windows or opening a menu is not leaving the field.
        if (watched == Text(8) && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            Text8_LostFocus();
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    // Moves that a control ignored arrive here too; only the bare background resets.
    if (childAt(event->position().toPoint()) == nullptr) {
        mPointer.hoverReset();
    }
    QWidget::mouseMoveEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Everything is saved as it is typed, so ending at once loses nothing.
    event->accept();
    Seams::current().endProgram();
}
