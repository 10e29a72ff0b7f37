#pragma once

#include <QImage>
#include <QString>

class PictureInAdvance;

// Has a second office instance open the saved document and render its first page, and hands that
// picture back; no file and no clipboard is involved. Reports its own failures and never fails
// towards its caller: without a picture it returns a null image. With steps taken in advance for
// the same file, their results are taken at each step instead.
QImage SaveDocAsJPG(const QString& inFile, PictureInAdvance* advance = nullptr);
