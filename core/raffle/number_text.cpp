#include "number_text.h"

#include "app_error.h"
#include "ticket_number_check.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

qint32 toWhole32(double value, const char* what)
{
    const std::optional<qint32> whole = checkedWhole<qint32>(roundHalfEven(value));
    if (!whole) {
        throw AppError(QStringLiteral("Overflow: the %1 lies outside -2147483648 to 2147483647.")
                           .arg(QLatin1String(what)));
    }
    return *whole;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

std::optional<double> parseNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    qsizetype end = n;
    while (end > i && isBlank(text[end - 1])) {
        --end;
    }
    const qsizetype start = i;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    auto isDigit = [&](qsizetype k) {
        return k < end && text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9');
    };
    int digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < end && text[i] == QLatin1Char('.')) {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            ++i;
        }
        if (!isDigit(i)) {
            return std::nullopt;
        }
        while (isDigit(i)) {
            ++i;
        }
    }
    if (i != end) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.mid(start, end - start).toDouble(&ok);
    // An exponent can push the value past what a double holds.
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double roundHalfEven(double value)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double whole = std::nearbyint(value);
    std::fesetround(previous);
    return whole;
}

qint32 wholeDivide(double value, double divisor)
{
    const qint32 wholeValue = toWhole32(value, "value");
    const qint32 wholeDivisor = toWhole32(divisor, "divisor");
    if (wholeDivisor == 0) {
        throw AppError(QStringLiteral("Division by zero"));
    }
    if (wholeValue == std::numeric_limits<qint32>::min() && wholeDivisor == -1) {
        throw AppError(QStringLiteral("Overflow: the quotient lies outside 32 bits."));
    }
    return wholeValue / wholeDivisor;
}

QString RoundUpToMultiple(const QString& value, int step)
{
    const std::optional<double> number = parseNumber(value);
    if (!number) {
        throw AppError(QStringLiteral("Type mismatch: \"%1\" is not a number.").arg(value));
    }
    const qint32 wholeStep = toWhole32(step, "step");
    if (wholeStep == 0) {
        throw AppError(QStringLiteral("Division by zero"));
    }
    if (*number == 0) {
        return QString::number(wholeStep);
    }
    const qint32 whole = toWhole32(*number, "value");
    if (whole % wholeStep == 0) {
        return value;
    }
    const qint64 base = static_cast<qint64>(whole / wholeStep) * wholeStep;
    const qint64 result = *number > 0 ? base + wholeStep : base - wholeStep;
    if (!checkedWhole<qint32>(static_cast<double>(result))) {
        throw AppError(QStringLiteral("Overflow: the result lies outside -2147483648 to "
                                      "2147483647."));
    }
    return QString::number(result);
}

QString ticketCountRangeMessage()
{
    return QStringLiteral("The number of tickets must lie between -2147483645 and 2147483645.");
}

TicketCountCheck checkTicketCount(const QString& text)
{
    TicketCountCheck check;
    if (!parseNumber(text)) {
        check.outcome = TicketCountCheck::Outcome::NotNumeric;
        return check;
    }
    try {
        check.text = RoundUpToMultiple(text, ticket_numbers::kTicketsPerPage);
        check.outcome = TicketCountCheck::Outcome::Rounded;
    } catch (const AppError&) {
        check.outcome = TicketCountCheck::Outcome::OutOfRange;
    }
    return check;
}
