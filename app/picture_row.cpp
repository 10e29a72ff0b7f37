#include "picture_row.h"

#include "app_error.h"
#include "app_identity.h"
#include "book_choices.h"
#include "seams.h"
#include "ticket_picture.h"
#include "window_setup.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>

namespace {

// The row's frame and what stands in it, in twips: the name takes what the buttons leave.
constexpr QRect kFrame(120, PictureRow::kTop, 7800, 825);
constexpr QRect kName(240, 300, 3840, 345);
constexpr QRect kChoose(4200, 270, 1800, 405);
constexpr QRect kNone(6120, 270, 1560, 405);

// The kinds offered first, then every other kind this computer's picture readers know.
QString pictureFilter()
{
    QStringList patterns{QStringLiteral("*.png"),  QStringLiteral("*.jpg"),
                         QStringLiteral("*.jpeg"), QStringLiteral("*.svg"),
                         QStringLiteral("*.svgz"), QStringLiteral("*.bmp"),
                         QStringLiteral("*.gif")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format);
        if (!patterns.contains(pattern)) {
            patterns << pattern;
        }
    }
    return QStringLiteral("Pictures (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

PictureRow::PictureRow(QWidget* window, std::function<void(const QString&)> saveFailed)
    : QObject(window), mWindow(window), mSaveFailed(std::move(saveFailed))
{
    auto* frame = new QGroupBox(QStringLiteral("Picture"), window);
    frame->setObjectName(QStringLiteral("Frame13"));
    frame->setFocusPolicy(Qt::NoFocus);
    frame->setMouseTracking(true);
    frame->installEventFilter(window);
    WindowSetup::paintWhite(*frame);
    WindowSetup::place(*frame, kFrame);

    PictureName = new QLabel(frame);
    PictureName->setObjectName(QStringLiteral("PictureName"));
    PictureName->setAccessibleName(QStringLiteral("Picture"));
    WindowSetup::place(*PictureName, kName);
    ChoosePicture = WindowSetup::designButton(frame, QStringLiteral("ChoosePicture"),
                                              QStringLiteral("Choose…"), kChoose, window);
    NoPicture = WindowSetup::designButton(frame, QStringLiteral("NoPicture"),
                                          QStringLiteral("None"), kNone, window);
    ChoosePicture->setAccessibleDescription(QStringLiteral("A picture for every ticket"));
    NoPicture->setAccessibleDescription(QStringLiteral("No picture: the stars only"));
    connect(ChoosePicture, &QPushButton::clicked, this, &PictureRow::choose);
    connect(NoPicture, &QPushButton::clicked, this, [this] { save(QString()); });
    show(QString());
}

void PictureRow::load()
{
    show(BookChoices::read().picture);
}

void PictureRow::show(const QString& path)
{
    mPath = path;
    const QString shown =
        path.isEmpty() ? QStringLiteral("None: the stars only") : QFileInfo(path).fileName();
    PictureName->setText(
        PictureName->fontMetrics().elidedText(shown, Qt::ElideMiddle, PictureName->width()));
    PictureName->setToolTip(path);
    NoPicture->setEnabled(!path.isEmpty());
}

void PictureRow::save(const QString& path)
{
    show(path);
    try {
        BookChoices::writePicture(path);
    } catch (const AppError& failure) {
        mSaveFailed(failure.description());
    }
}

void PictureRow::choose()
{
    const QString path = Seams::current().openFileName(
        mWindow, QStringLiteral("Choose a Picture for the Tickets"), pictureFilter());
    if (path.isEmpty()) {
        return;
    }
    const TicketPicture picture = TicketPicture::read(path);
    if (!picture.ok()) {
        Seams::current().messageBox(picture.problem(), identity::applicationTitle(), MsgStyle::Ok);
        return;
    }
    save(QFileInfo(path).absoluteFilePath());
}

bool PictureRow::readForRun(QByteArray& picture)
{
    picture.clear();
    if (mPath.isEmpty()) {
        return true;
    }
    const TicketPicture read = TicketPicture::read(mPath);
    if (!read.ok()) {
        Seams::current().messageBox(read.problem() +
                                        QStringLiteral("\n\nChoose another picture, or None."),
                                    identity::applicationTitle(), MsgStyle::Ok);
        return false;
    }
    picture = read.bytes();
    return true;
}
