#pragma once

#include "book_choices.h"
#include "print_job.h"
#include "print_request.h"

#include <QByteArray>
#include <QString>

typedef struct _http_s http_t;

// One job on a printer of the system's printing service, whose one document is a PDF sent in
// pieces: the printer and its filters get the pages as vector pages, as the office made them.
// The job exists from construction, so that a cancel while its document is still being made
// cancels a job the printer already knows. Every failure throws AppError with the service's
// reason.
class CupsJob : public PrintJob
{
public:
    CupsJob(const PrintRequest& request, Paper paper, const QString& title);
    // A job neither finished nor cancelled is cancelled.
    ~CupsJob() override;
    CupsJob(const CupsJob&) = delete;
    CupsJob& operator=(const CupsJob&) = delete;

    int id() const { return mId; }
    // The next piece of the PDF; the first piece begins the document.
    void send(const QByteArray& piece) override;
    // The document is complete: the printer takes the job, or says why not.
    void finish() override;
    // Stops the job: what was sent is dropped and nothing more is printed. Never throws.
    void cancel() noexcept override;

private:
    void begin();

    QString mPrinter;
    QString mTitle;
    int mId = 0;
    http_t* mDocument = nullptr; // the connection the document goes over, once begun
    bool mDone = false;
};
