#pragma once

#include <QString>

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>

// Reading numbers typed by a person, and the round-up of the ticket count.
//
// A number is, after optional blanks: an optional sign, digits with an optional fraction after
// a full stop (at least one digit in all), and an optional exponent (e or E, optional sign,
// digits); optional blanks may follow. The full stop is the only decimal separator whatever the
// locale, and digit grouping or currency signs are not numbers: a ticket count is a plain count.
std::optional<double> parseNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// A whole number as Int, or nothing when it is not finite or lies outside Int's range. The one
// range check of every conversion to a fixed-width integer; callers round first and say in
// their own words what went wrong.
template <std::integral Int> std::optional<Int> checkedWhole(double whole)
{
    if (!std::isfinite(whole) || whole < double(std::numeric_limits<Int>::min()) ||
        whole > double(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(whole);
}

// Whole-number division as the ticket arithmetic does it: both operands rounded half-to-even,
// then the quotient truncated towards zero. Throws AppError when a whole lies outside 32 bits
// or the divisor rounds to 0.
qint32 wholeDivide(double value, double divisor);

// Round-up to a multiple of step (see the ticket-count rule): 0 gives step; a value whose whole
// is already a multiple is returned as typed; otherwise the next multiple away from zero,
// written as a plain whole number. Throws AppError when the text is not a number, the step
// rounds to 0, or a whole value or the result lies outside the 32-bit signed range.
QString RoundUpToMultiple(const QString& value, int step);

// What the ticket-count field accepts, and what it shows when it does not.
struct TicketCountCheck
{
    enum class Outcome
    {
        Rounded,
        NotNumeric,
        OutOfRange
    };
    Outcome outcome = Outcome::NotNumeric;
    QString text; // the new text of the field when Rounded
};
TicketCountCheck checkTicketCount(const QString& text);

// The message for a count whose round-up leaves the 32-bit range; names the allowed range.
QString ticketCountRangeMessage();
