#pragma once

#include <QHash>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A CUPS server of a test's own: its configuration, spool and logs in a temporary folder, a
// socket of its own that CUPS_SERVER points the program's printing at, and PDF printer queues
// (cups-pdf) that write each job as a PDF. The machine's own printing is left alone. Ends the
// server, and puts CUPS_SERVER back as it was, when it goes.
class CupsServer
{
public:
    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // Empty when the server runs; otherwise why it cannot (for a skip).
    const QString& why() const { return mWhy; }

    // A PDF printer queue; the default when asked. Its text stays text through the filters.
    QString addPdfPrinter(const QString& name, bool makeDefault);
    // The queue takes no more jobs.
    QString rejectJobs(const QString& name);
    // The newest job on the queue, 0 when there is none.
    int lastJob(const QString& name) const;
    // Waits until the job has ended; its state ("completed", "canceled", "aborted"), or an empty
    // text when it did not end in time.
    QString waitForEnd(int job, int timeoutMs = 60000) const;
    // The job's attributes as the server holds them, read back over IPP, each as text ("copies"
    // "2", "page-ranges" "1-2,5"). A PDF queue writes one copy whatever the copies.
    QHash<QString, QString> jobAttributes(int job) const;
    // The PDF the queue wrote for the job, or an empty text.
    static QString printedFile(int job);

private:
    QString command(const QString& program, const QStringList& arguments);

    QTemporaryDir mRoot;
    QProcess mServer;
    QString mWhy;
    QByteArray mPreviousServer;
};
