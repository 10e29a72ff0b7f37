#include "print_queue.h"

#include "cups_job.h"
#include "print_service.h"

PrintQueue& PrintQueue::current()
{
    static PrintQueue queue{&print_service::printers,
                            [](const PrintRequest& request, Paper paper,
                               const QString& title) -> std::unique_ptr<PrintJob> {
                                return std::make_unique<CupsJob>(request, paper, title);
                            }};
    return queue;
}
