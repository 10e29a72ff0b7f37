// Draws the application icon at every size a desktop asks for, and the hand pointer that the
// windows show over their buttons, so that both are reviewable as code rather than as binaries.
//
//     make_art <output folder>
// writes ticketwright-<size>.png and HAND-M.CUR there.

#include "cursor_encoder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

// A ticket with a perforated stub, tilted a little, on a transparent ground.
QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.translate(128, 128);
    p.rotate(-12);

    const QRectF body(-112, -64, 224, 128);
    QPainterPath ticket;
    ticket.addRoundedRect(body, 14, 14);
    QPainterPath notches;
    notches.addEllipse(QPointF(52, -64), 14, 14);
    notches.addEllipse(QPointF(52, 64), 14, 14);
    ticket = ticket.subtracted(notches);

    p.setPen(QPen(QColor(0x7a, 0x1f, 0x12), 6));
    p.setBrush(QColor(0xe8, 0x4a, 0x27));
    p.drawPath(ticket);

    // The stub right of the tear line is lighter, as it is on the printed tickets.
    p.save();
    p.setClipPath(ticket);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf6, 0xb2, 0x3c));
    p.drawRect(QRectF(52, -70, 70, 140));
    p.restore();

    p.setPen(QPen(QColor(0x7a, 0x1f, 0x12), 5, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(52, -44), QPointF(52, 44));

    // A star for the prize, large enough to read at 16 pixels.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 40 : 17;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(-30 + radius * std::cos(angle), radius * std::sin(angle));
        i == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(0x7a, 0x1f, 0x12), 4));
    p.setBrush(QColor(0xff, 0xf4, 0xd6));
    p.drawPath(star);
    return image;
}

// A pointing hand, index finger up; its tip is the hot spot.
QImage drawHand(QPoint* hotSpot)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(10.5, 1.5, 5, 16), 2.5, 2.5);   // index finger
    hand.addRoundedRect(QRectF(15.5, 9.5, 4.5, 10), 2.2, 2.2); // middle
    hand.addRoundedRect(QRectF(20, 10.5, 4.5, 9), 2.2, 2.2);   // ring
    hand.addRoundedRect(QRectF(24.5, 12, 4, 8), 2, 2);         // little
    hand.addRoundedRect(QRectF(4.5, 13.5, 8, 5), 2.5, 2.5);    // thumb
    hand.addRoundedRect(QRectF(8.5, 15, 20, 14.5), 5, 5);      // palm
    hand = hand.simplified();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.9));
    p.drawLine(QPointF(15.5, 15), QPointF(15.5, 19));
    p.drawLine(QPointF(20, 15), QPointF(20, 19.5));
    p.drawLine(QPointF(24.5, 16), QPointF(24.5, 20));
    *hotSpot = QPoint(13, 2);
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "make_art: cannot create %s\n", argv[1]);
        return 1;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = out.filePath(QStringLiteral("ticketwright-%1.png").arg(size));
        if (!drawIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "make_art: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QPoint hotSpot;
    const QImage hand = drawHand(&hotSpot);
    if (!writeFile(out.filePath(QStringLiteral("HAND-M.CUR")),
                   CursorEncoder::encode(hand, hotSpot))) {
        std::fprintf(stderr, "make_art: cannot write the cursor\n");
        return 1;
    }
    return 0;
}
