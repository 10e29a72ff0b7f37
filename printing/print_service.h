#pragma once

#include <QStringList>

// The system's printing service (CUPS, or the server CUPS_SERVER names): which printers there are.
namespace print_service {

// The names of the printers, the default one first; empty when none is installed or the service
// does not answer.
QStringList printers();

} // namespace print_service
