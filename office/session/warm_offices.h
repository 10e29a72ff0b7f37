#pragma once

#include "office_application.h"

#include <QByteArray>

#include <memory>

namespace word {

// Offices started ahead of need, connected and made ready while the person types: each opens a
// sample document once and closes it, on a thread of its own, so that the office has its word
// processor and fonts loaded before the run asks for them (an office's first document opens in
// about three times as long as its next). Only a saving: an
// office that fails it is ended with one line on standard error, and the instance that would have
// taken it starts as without it. Used from the thread that runs the event loop.
namespace warm_offices {

// From now on, while the event loop runs, each waiting office is made ready with this document
// as soon as it opens its pipe; an empty document stops that for offices not yet begun.
void warmWith(const QByteArray& document);
// Looks again for waiting offices to make ready, after more were started.
void watch();
// How many are ready or being made ready.
int count();
// A ready office, once its warming is done; or none.
std::unique_ptr<OfficeApplication> take();
// Ends them all.
void clear();

} // namespace warm_offices

} // namespace word
