// libFuzzer target: the reading of a typed ticket count and its round-up. Whatever the bytes,
// the reader either refuses or gives a number, and the round-up either refuses with AppError or
// gives a multiple of five (or the typed text itself when its whole value already is one).

#include "app_error.h"
#include "number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<double> number = parseNumber(text);
    const TicketCountCheck check = checkTicketCount(text);
    if (!number) {
        if (check.outcome != TicketCountCheck::Outcome::NotNumeric) {
            std::abort();
        }
        return 0;
    }
    if (!std::isfinite(*number)) {
        std::abort();
    }
    if (check.outcome == TicketCountCheck::Outcome::NotNumeric) {
        std::abort();
    }
    if (check.outcome == TicketCountCheck::Outcome::Rounded) {
        if (check.text == text) {
            const double whole = roundHalfEven(*number);
            if (*number == 0 || std::fmod(whole, 5.0) != 0) {
                std::abort();
            }
        } else {
            bool ok = false;
            const qlonglong result = check.text.toLongLong(&ok);
            if (!ok || result % 5 != 0 || result == 0) {
                std::abort();
            }
        }
    }
    return 0;
}
