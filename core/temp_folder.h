#pragma once

#include <QString>

// The folder for the program's working files: the TEMP environment variable when it is set,
// otherwise a private per-user folder (created mode 0700, owned by the user).
class TempFolder
{
public:
    // Throws AppError when the folder is unusable (missing, not a folder, or a private folder
    // that someone else owns or others may enter).
    static QString path();
    // The private folder used when TEMP is not set.
    static QString privatePath();
    // path() + "/" + name.
    static QString file(const QString& name);
};
