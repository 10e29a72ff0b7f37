#include "error_trap.h"

#include "app_identity.h"

#include <cstdio>
#include <stdexcept>

namespace {

ErrorReporter& reporter()
{
    static ErrorReporter installed;
    return installed;
}

} // namespace

void setErrorReporter(ErrorReporter reporter_)
{
    reporter() = std::move(reporter_);
}

QString applicationErrorText(const QString& description, const QString& location, int label)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(label) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           identity::kSupportAddress;
}

void ReportApplicationError(const QString& description, const QString& location, int label)
{
    const QString text = applicationErrorText(description, location, label);
    if (reporter()) {
        reporter()(text);
    } else {
        std::fprintf(stderr, "Application Error: %s\n", qUtf8Printable(text));
    }
}

void ErrorTrap::report(std::exception_ptr failure)
{
    QString description;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        description = QString::fromUtf8(e.what());
    } catch (...) {
        description = QStringLiteral("Unknown error");
    }
    if (description.isEmpty()) {
        description = QStringLiteral("Unknown error");
    }
    if (mEachLabelOnce) {
        if (mReported.contains(mLabel)) {
            return;
        }
        mReported.insert(mLabel);
    }
    ++mReports;
    ReportApplicationError(description, mLocation, mLabel);
}
