#include "program_end.h"

#include "form1.h"
#include "form2.h"
#include "print_result.h"

std::unique_ptr<ProgramSession> program_end::install(Form1& form)
{
    return std::make_unique<ProgramSession>(
        Seams::current(), [] { cancelPrinting(); },
        [&form](int) {
            Form2* preview = form.preview();
            if (preview != nullptr && preview->isVisible()) {
                preview->close();
            } else {
                form.close();
            }
        });
}
