#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

// The organiser's picture, read from its file and made ready for the box every ticket keeps for
// it. Read before any office work, so that a file that will not do is refused with a message and
// nothing else changes. Nothing but the one file is ever read: an SVG that refers to other files
// or to the network is refused, not followed.
class TicketPicture
{
public:
    // The box on the ticket, in points, and the resolution it is printed at: a picture with more
    // pixels than that is scaled down as it is read.
    static constexpr QSizeF kBoxPoints{54.0, 41.5};
    static constexpr int kDotsPerInch = 600;
    // Reading a picture never takes more memory than this.
    static constexpr qint64 kMemoryLimit = qint64(256) << 20;

    // The file's picture, or a message that says why it cannot be used.
    static TicketPicture read(const QString& path);

    bool ok() const { return mProblem.isEmpty(); }
    // The picture as the office takes it: PNG or JPEG, or the SVG file as it is.
    const QByteArray& bytes() const { return mBytes; }
    const QString& problem() const { return mProblem; }
    // The largest pixel size a picture keeps, for the box at the print resolution.
    static QSize largestPixels();

private:
    static TicketPicture refused(const QString& problem);
    static TicketPicture readSvg(const QString& path, const QByteArray& content);
    static TicketPicture readRaster(const QString& path, const QByteArray& content);

    QByteArray mBytes;
    QString mProblem;
};
