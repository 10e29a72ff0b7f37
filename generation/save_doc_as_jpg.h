#pragma once

#include <QString>

// Has a second office instance open the saved document and picture it, and writes the picture
// as "temp.bmp" in the temp folder (PNG data: the preview reads it by its content). Reports its
// own failures and never fails towards its caller.
void SaveDocAsJPG(const QString& inFile);
