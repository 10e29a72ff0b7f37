#include "book_row.h"

#include "accessible_names.h"
#include "app_error.h"
#include "app_identity.h"
#include "seams.h"
#include "ticket_book.h"
#include "window_setup.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

// The frames of the row, in twips, relative to the window; the same height and gaps as the
// frames above. The range gets the most room: eight-digit numbers make a long text.
constexpr QRect kFirstFrame(120, BookRow::kTop, 1920, 825);
constexpr QRect kOrderFrame(2160, BookRow::kTop, 1920, 825);
constexpr QRect kPaperFrame(4200, BookRow::kTop, 1200, 825);
constexpr QRect kRangeFrame(5520, BookRow::kTop, 2400, 825);
// The smallest size the range text shrinks to before it is cut short.
constexpr qreal kSmallestRangePoints = 6.0;

// A field's place inside its frame, as the fields above sit in theirs.
QRect inside(const QRect& frame)
{
    return {240, 300, frame.width() - 465, 345};
}

// A list's or a text's place: the frame's width less its borders.
QRect across(const QRect& frame)
{
    return {120, 300, frame.width() - 240, 345};
}

} // namespace

BookRow::BookRow(QWidget* window, std::function<QString()> countText,
                 std::function<void(const QString&)> saveFailed)
    : QObject(window), mCountText(std::move(countText)), mSaveFailed(std::move(saveFailed))
{
    FirstNumber = new QLineEdit(frame(window, QStringLiteral("Frame9"),
                                      QStringLiteral("First ticket number"), kFirstFrame));
    FirstNumber->setObjectName(QStringLiteral("FirstNumber"));
    WindowSetup::place(*FirstNumber, inside(kFirstFrame));
    FirstNumber->installEventFilter(this);

    Order = new QComboBox(
        frame(window, QStringLiteral("Frame10"), QStringLiteral("Order"), kOrderFrame));
    Order->setObjectName(QStringLiteral("Order"));
    AccessibleNames::nameList(*Order, QStringLiteral("Order"));
    Order->addItems(OrderNames::all(kOrderNames, &OrderNames::shown));
    WindowSetup::place(*Order, across(kOrderFrame));

    Paper = new QComboBox(
        frame(window, QStringLiteral("Frame11"), QStringLiteral("Paper"), kPaperFrame));
    Paper->setObjectName(QStringLiteral("Paper"));
    AccessibleNames::nameList(*Paper, QStringLiteral("Paper"));
    Paper->addItems(PaperNames::all(kPaperNames, &PaperNames::shown));
    WindowSetup::place(*Paper, across(kPaperFrame));

    RangeText = new QLabel(
        frame(window, QStringLiteral("Frame12"), QStringLiteral("This run makes"), kRangeFrame));
    RangeText->setObjectName(QStringLiteral("RangeText"));
    RangeText->setAccessibleName(QStringLiteral("This run makes"));
    WindowSetup::place(*RangeText, across(kRangeFrame));

    connect(FirstNumber, &QLineEdit::textChanged, this, [this](const QString& text) {
        save([&] { BookChoices::writeFirstNumber(text); });
        updateRange();
    });
    connect(Order, &QComboBox::currentIndexChanged, this, [this](int index) {
        save([&] { BookChoices::writeOrder(OrderNames::at(kOrderNames, index)); });
    });
    connect(Paper, &QComboBox::currentIndexChanged, this, [this](int index) {
        save([&] { BookChoices::writePaper(PaperNames::at(kPaperNames, index)); });
    });
}

QGroupBox* BookRow::frame(QWidget* window, const QString& name, const QString& caption,
                          const QRect& twips)
{
    auto* box = new QGroupBox(caption, window);
    box->setObjectName(name);
    box->setFocusPolicy(Qt::NoFocus);
    // The frames share the window's hover rules, as the frames above do.
    box->setMouseTracking(true);
    box->installEventFilter(window);
    WindowSetup::paintWhite(*box);
    WindowSetup::place(*box, twips);
    return box;
}

void BookRow::load()
{
    const BookChoices stored = BookChoices::read();
    mLoading = true;
    FirstNumber->setText(stored.firstNumber);
    Order->setCurrentIndex(OrderNames::indexOf(kOrderNames, stored.order));
    Paper->setCurrentIndex(PaperNames::indexOf(kPaperNames, stored.paper));
    mLoading = false;
    updateRange();
}

void BookRow::save(const std::function<void()>& write)
{
    if (mLoading) {
        return; // what was read is already stored
    }
    try {
        write();
    } catch (const AppError& failure) {
        mSaveFailed(failure.description());
    }
}

BookChoices BookRow::choices() const
{
    BookChoices choices;
    choices.firstNumber = FirstNumber->text();
    choices.order = OrderNames::at(kOrderNames, Order->currentIndex());
    choices.paper = PaperNames::at(kPaperNames, Paper->currentIndex());
    return choices;
}

QString BookRow::firstNumberProblem() const
{
    const FirstNumberCheck check = checkFirstNumber(FirstNumber->text(), ticketsMade(mCountText()));
    return check.outcome == FirstNumberCheck::Outcome::Accepted ? QString() : check.message;
}

void BookRow::updateRange()
{
    const std::optional<int> count = ticketsMade(mCountText());
    const FirstNumberCheck first = checkFirstNumber(FirstNumber->text(), count);
    if (!count || !ticketCountProblem(count).isEmpty()) {
        RangeText->setText(QStringLiteral("Check the count"));
    } else if (first.outcome != FirstNumberCheck::Outcome::Accepted) {
        RangeText->setText(QStringLiteral("Check the first number"));
    } else {
        RangeText->setText(TicketBook(first.number, *count).rangeText());
    }
    fitRangeText();
}

// A long range takes a smaller size rather than lose its end; the whole text is its tip too.
void BookRow::fitRangeText()
{
    QFont font = RangeText->parentWidget()->font();
    while (QFontMetricsF(font).horizontalAdvance(RangeText->text()) > RangeText->width() &&
           font.pointSizeF() > kSmallestRangePoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    RangeText->setFont(font);
    RangeText->setToolTip(RangeText->text());
}

void BookRow::focusFirstNumber()
{
    QLineEdit* field = FirstNumber;
    QTimer::singleShot(0, field, [field] { field->setFocus(Qt::OtherFocusReason); });
}

void BookRow::FirstNumber_LostFocus()
{
    const FirstNumberCheck check = checkFirstNumber(FirstNumber->text(), ticketsMade(mCountText()));
    if (check.outcome == FirstNumberCheck::Outcome::Accepted) {
        // Shown as the run will print it, without a sign, zeros or an exponent.
        const QString plain = QString::number(check.number);
        if (FirstNumber->text() != plain) {
            FirstNumber->setText(plain);
        }
        return;
    }
    Seams::current().messageBox(check.message, identity::applicationTitle(), MsgStyle::Ok);
    focusFirstNumber();
}

bool BookRow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FirstNumber) {
        if (event->type() == QEvent::FocusIn) {
            FirstNumber->selectAll();
        } else if (event->type() == QEvent::FocusOut) {
            // Switching windows or opening a menu is not leaving the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                FirstNumber_LostFocus();
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
