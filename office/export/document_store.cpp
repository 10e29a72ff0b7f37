#include "document_store.h"

#include "uno_support.h"
#include "word_automation.h"
#include "working_files.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace word {

DocumentStore::DocumentStore(const QString& path)
    : mPath(path), mTarget(QDir::current().absoluteFilePath(path))
{}

void DocumentStore::store(const std::function<void(const rtl::OUString& url)>& write)
{
    const auto fail = [&](const QString& reason) {
        return Error(
            QStringLiteral("The document could not be saved as \"%1\": %2").arg(mPath, reason));
    };
    if (mPath.isEmpty()) {
        throw fail(QStringLiteral("no name was given."));
    }
    if (mTarget.isSymLink()) {
        throw fail(QStringLiteral("a link is in the way, and it is not followed."));
    }
    if (mTarget.isDir()) {
        throw fail(QStringLiteral("a folder of that name exists."));
    }
    if (!mTarget.dir().exists()) {
        throw fail(QStringLiteral("the folder does not exist."));
    }
    QString scratch;
    do {
        scratch = mTarget.dir().filePath(
            QStringLiteral(".~%1.%2.tmp")
                .arg(mTarget.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (QFileInfo::exists(scratch));
    // Listed for an ending that cannot wait for the office to finish writing it.
    working_files::add(scratch);
    const auto unlisted = qScopeGuard([&] { working_files::forget(scratch); });
    try {
        write(uno::fileUrl(scratch));
    } catch (...) {
        QFile::remove(scratch);
        uno::rethrowAsWordError(QStringLiteral("Saving \"%1\"").arg(mPath));
    }
    if (std::rename(QFile::encodeName(scratch).constData(),
                    QFile::encodeName(mTarget.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        QFile::remove(scratch);
        throw fail(QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace word
