#pragma once

#include <QString>

// The working files the program has made and not yet removed: a run's document (also while the
// preview shows it), its template copy, its first page, a file being written beside its target.
// Listed so that an ending that cannot wait for the program's own clean-up (a signal while the main
// thread waits on a hung office) still leaves none of them behind. Safe from any thread.
namespace working_files {

void add(const QString& path);
// A folder the program made, removed with all it holds.
void addFolder(const QString& path);
// The file is removed, or no longer the program's to remove.
void forget(const QString& path);
// Removes every listed file (a link itself, never its target) and folder, the last listed first.
// With forget false the list stays, for a second pass.
void removeAll(bool forget = true);

} // namespace working_files
