#include "program_end.h"

#include "form1.h"
#include "form2.h"
#include "print_result.h"
#include "run_offices.h"
#include "seams.h"

#include <cstdio>
#include <cstdlib>

namespace {

int& exitStatus()
{
    static int status = 0;
    return status;
}

} // namespace

std::unique_ptr<EndSignals> program_end::install(Form1& form)
{
    Seams::current().endProgram = [] {
        cancelPrinting();
        RunOffices::endAll();
        std::fflush(nullptr);
        std::_Exit(exitStatus());
    };
    return std::make_unique<EndSignals>(
        [&form](int signal) {
            exitStatus() = 128 + signal;
            Form2* preview = form.preview();
            if (preview != nullptr && preview->isVisible()) {
                preview->close();
            } else {
                form.close();
            }
            // A window that was not on screen may not have ended the program.
            Seams::current().endProgram();
        },
        [](int) { RunOffices::endAllFromAnyThread(); });
}
