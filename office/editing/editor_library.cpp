#include "editor_library.h"

#include "file_helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// One line a refused file: its size, its modification time in milliseconds and its path.
QByteArray lineFor(const QString& path)
{
    const QFileInfo library(path);
    return QByteArray::number(library.size()) + ' ' +
           QByteArray::number(library.lastModified().toMSecsSinceEpoch()) + ' ' +
           QFile::encodeName(library.absoluteFilePath()) + '\n';
}

QByteArray remembered()
{
    QFile file(editor_library::memoryFile());
    return file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
}

} // namespace

QString editor_library::besideRegistration(const QString& registration)
{
    return registration.isEmpty() ? QString()
                                  : QFileInfo(registration)
                                        .dir()
                                        .filePath(QStringLiteral("libticketwright_editor.so"));
}

QString editor_library::memoryFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/ticketwright-editor-refused");
}

QString editor_library::refusedEarlier(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile() ||
        !remembered().split('\n').contains(lineFor(path).chopped(1))) {
        return {};
    }
    return QStringLiteral("the editing library %1 took an office down as it loaded before, and "
                          "is not loaded again until it is installed anew")
        .arg(path);
}

void editor_library::rememberRefused(const QString& path)
{
    const QString memory = memoryFile();
    if (path.isEmpty() || !memory.startsWith(QLatin1Char('/')) ||
        !QDir().mkpath(QFileInfo(memory).path())) {
        return;
    }
    // Only a saving: a memory that cannot be written costs the next run the same fall-back.
    try {
        WriteFileReplacing(remembered() + lineFor(path), memory);
    } catch (const std::exception&) {
    }
}
