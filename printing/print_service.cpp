#include "print_service.h"

#include <cups/cups.h>

QStringList print_service::printers()
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        // Instances (printer/instance) are options of their printer, not printers of their own.
        if (dests[i].instance != nullptr) {
            continue;
        }
        const QString name = QString::fromUtf8(dests[i].name);
        if (dests[i].is_default) {
            names.prepend(name);
        } else {
            names.append(name);
        }
    }
    cupsFreeDests(count, dests);
    return names;
}
