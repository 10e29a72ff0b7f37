#include "cups_job.h"

#include "app_error.h"
#include "job_options.h"

#include <cups/cups.h>

namespace {

[[noreturn]] void failWith(const QString& what)
{
    throw AppError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(cupsLastErrorString())));
}

} // namespace

CupsJob::CupsJob(const PrintRequest& request, Paper paper, const QString& title)
    : mPrinter(request.printer), mTitle(title)
{
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : JobOptions::of(request, paper)) {
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    }
    mId = cupsCreateJob(CUPS_HTTP_DEFAULT, mPrinter.toUtf8().constData(),
                        mTitle.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (mId == 0) {
        failWith(QStringLiteral("The printer %1 did not take the job").arg(mPrinter));
    }
}

CupsJob::~CupsJob()
{
    if (!mDone) {
        cancel();
    }
}

// The document goes over a connection of its own, so that a cancel can go over the usual one
// while it is half sent.
void CupsJob::begin()
{
    mDocument = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             30000, nullptr);
    if (mDocument == nullptr) {
        failWith(QStringLiteral("The printing service could not be reached"));
    }
    if (cupsStartDocument(mDocument, mPrinter.toUtf8().constData(), mId,
                          mTitle.toUtf8().constData(), CUPS_FORMAT_PDF,
                          1) != HTTP_STATUS_CONTINUE) {
        failWith(QStringLiteral("The printer %1 did not take the pages").arg(mPrinter));
    }
}

void CupsJob::send(const QByteArray& piece)
{
    if (mDocument == nullptr) {
        begin();
    }
    if (cupsWriteRequestData(mDocument, piece.constData(), static_cast<size_t>(piece.size())) !=
        HTTP_STATUS_CONTINUE) {
        failWith(QStringLiteral("The pages could not be sent to %1").arg(mPrinter));
    }
}

void CupsJob::finish()
{
    if (mDocument == nullptr) {
        begin();
    }
    const ipp_status_t status = cupsFinishDocument(mDocument, mPrinter.toUtf8().constData());
    httpClose(mDocument);
    mDocument = nullptr;
    mDone = true;
    if (status >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
        failWith(QStringLiteral("The printer %1 refused the job").arg(mPrinter));
    }
}

void CupsJob::cancel() noexcept
{
    if (mDocument != nullptr) {
        httpClose(mDocument);
        mDocument = nullptr;
    }
    if (!mDone && mId != 0) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, mPrinter.toUtf8().constData(), mId, 0);
    }
    mDone = true;
}
