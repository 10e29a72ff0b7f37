#pragma once

#include <QString>

// One line on standard error about a choice the program made on its own, such as a saving it had
// to do without. Never shown to the person in a window: it is for whoever reads the log.
namespace notice {

void line(const QString& text);

} // namespace notice
