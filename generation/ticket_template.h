#pragma once

#include "book_choices.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The ticket page as a Word 97-2003 template, as the program carries it: laid out for Letter
// (resource ":/CUSTOM/101") or for A4 (":/CUSTOM/102"), the same tickets on either.
QByteArray ticketTemplateBytes(Paper paper = Paper::Letter);

namespace ticket_template {

// The drawings that keep each ticket's room for the organiser's picture, numbered from 1.
inline const QString kPictureBox = QStringLiteral("Picture Box");
// How far the lines beside the picture stay clear of the ends of their lines, in points: the
// box's width and a gap.
constexpr double kPictureClear = 59.0;
// The paragraph styles of the lines beside it: the event name and the draw line.
inline QStringList besidePicture()
{
    return {QStringLiteral("Title"), QStringLiteral("Subtitle")};
}

} // namespace ticket_template
