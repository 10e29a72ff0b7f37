#pragma once

#include <QString>

// The editing library an office loads to edit inside itself, and what the program remembers of
// it. A library cut short by an interrupted install or upgrade takes its office down as it loads;
// once that has happened, the program does not load that file again until it changes (an install
// writes it anew: another size or time), so later runs and later starts do not pay for it.
namespace editor_library {

// The library beside a registration file (the registration names it relative to itself).
QString besideRegistration(const QString& registration);
// Why the library at path is not to be loaded, when it took an office down before; else empty.
QString refusedEarlier(const QString& path);
// Remembers that the library at path, as it is now, took an office down as it loaded.
void rememberRefused(const QString& path);
// Where the program keeps what it remembers; tests give their own cache folder.
QString memoryFile();

} // namespace editor_library
