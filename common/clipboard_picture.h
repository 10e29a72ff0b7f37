#pragma once

#include <QImage>

// The picture on the program's clipboard (format 0: any picture), tried up to 1000 times at
// once; a null image when none could be read. Never throws.
QImage GetClipboardPicture(int format);
