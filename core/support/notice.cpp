#include "notice.h"

#include <cstdio>

void notice::line(const QString& text)
{
    // One call, so that lines of several threads do not interleave.
    std::fprintf(stderr, "ticketwright: %s\n", qUtf8Printable(text));
}
