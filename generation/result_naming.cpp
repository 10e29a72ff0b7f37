#include "result_naming.h"

#include "app_error.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "result_claims.h"
#include "run_labels.h"
#include "seams.h"
#include "temp_folder.h"

QString ResultNaming::drawName()
{
    QString name = QStringLiteral("zanfel");
    for (int k = 0; k < 8; ++k) {
        name += QString::number(static_cast<int>(Seams::current().random() * 9) + 1);
    }
    return name;
}

QString ResultNaming::choose(ErrorTrap& trap)
{
    namespace label = run_labels;
    QString path;
    for (int attempt = 0;; ++attempt) {
        QString name;
        trap.step(label::kNameAttempt, [&] {
            if (attempt == kAttempts) {
                throw AppError(QStringLiteral("No free name for the ticket document was found "
                                              "in the temporary folder."));
            }
        });
        if (attempt == kAttempts) {
            return QString();
        }
        trap.step(label::kDrawName, [&] { name = drawName(); });
        trap.step(label::kResultPath,
                  [&] { path = temp_folder::file(name + QStringLiteral(".doc")); });
        bool taken = false;
        trap.step(label::kNameTaken, [&] { taken = FileExists(path); });
        if (!taken) {
            // Before the file is made.
            result_claims::claim(path);
            return path;
        }
    }
}
