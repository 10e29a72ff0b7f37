#pragma once

#include <QByteArray>

// One job on a printer, whose one document (a PDF) is sent in pieces. A job neither finished nor
// cancelled is cancelled when it goes.
class PrintJob
{
public:
    virtual ~PrintJob() = default;

    // The next piece of the document; the first piece begins it. Throws AppError.
    virtual void send(const QByteArray& piece) = 0;
    // The document is complete: the printer takes the job, or says why not (AppError).
    virtual void finish() = 0;
    // Stops the job: what was sent is dropped and nothing more is printed. Never throws.
    virtual void cancel() noexcept = 0;
};
