#pragma once

#include <QString>

// The folder for the program's working files: the TEMP environment variable when it is set,
// otherwise a private per-user folder (created mode 0700, owned by the user).
namespace temp_folder {

// Throws AppError when the folder is unusable (missing, not a folder, or a private folder
// that someone else owns or others may enter).
QString path();
// The private folder used when TEMP is not set.
QString privatePath();
// path() + "/" + name.
QString file(const QString& name);

} // namespace temp_folder
