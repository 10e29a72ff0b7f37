#pragma once

#include <QSet>
#include <QString>

#include <exception>
#include <functional>
#include <utility>

// The "Application Error" report text: description, CR LF, location, "at line ", label, CR CR,
// and the request to mail a screenshot to the support address.
QString applicationErrorText(const QString& description, const QString& location, int label);

// Shows the report through the installed reporter: in the program, a modal box titled
// "Application Error" with the warning icon.
void ReportApplicationError(const QString& description, const QString& location, int label);

// Where reports go. The windows install a message box; without a reporter a report is written
// to standard error, so that none is ever lost.
using ErrorReporter = std::function<void(const QString& text)>;
void setErrorReporter(ErrorReporter reporter);

// Report-and-go-on for one run of one procedure. The procedure names its location once, then
// runs each labelled step through step(); a step that throws gives one report with the current
// label, and the procedure carries on with its next step.
//
//     ErrorTrap trap(identity::location("Form1", "Form_Load"));
//     trap.step(104, [&] { setWindowTitle(...); });
//
// A statement without a label of its own reports the label before it: pass the same label.
class ErrorTrap
{
public:
    explicit ErrorTrap(QString location) : mLocation(std::move(location)) {}

    template <typename Body> bool step(int label, Body&& body)
    {
        mLabel = label;
        try {
            std::forward<Body>(body)();
            return true;
        } catch (...) {
            report(std::current_exception());
            return false;
        }
    }

    // A step's failure that came to light after it ran (office steps gathered and run together),
    // reported at that step's label just as step() would have reported it.
    void reportAt(int label, std::exception_ptr failure)
    {
        mLabel = label;
        report(std::move(failure));
    }

    // For procedures that loop: a labelled step that has already been reported stays quiet
    // when it fails again, so a failure that repeats on every pass is reported once.
    void reportEachLabelOnce() { mEachLabelOnce = true; }

    const QString& location() const { return mLocation; }
    int label() const { return mLabel; }
    int reports() const { return mReports; }

private:
    void report(std::exception_ptr failure);

    QString mLocation;
    int mLabel = 0;
    int mReports = 0;
    bool mEachLabelOnce = false;
    QSet<int> mReported;
};
