#pragma once

#include "office_process.h"

#include <memory>

namespace word {

// Offices started ahead of need, while the person is still typing, so that a run does not wait
// for one to start. Each is taken by one instance only, as one started on demand would be; one
// that nobody takes is ended with all the others. Used from the thread that runs the event loop.
namespace early_offices {

// Starts offices until count are waiting. A failure to start is left for the instance that
// would have taken it to report, by starting one of its own.
void fill(int count);
// A waiting office, or none.
std::unique_ptr<OfficeProcess> take();
// A waiting office that has opened its pipe already, or none.
std::unique_ptr<OfficeProcess> takeListening();
// How many are waiting.
int count();
// Ends every waiting office.
void clear();

} // namespace early_offices

} // namespace word
