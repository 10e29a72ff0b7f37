#include "save_result.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "seams.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 kChunk = 1 << 20;

[[noreturn]] void fail(const QString& what, const QString& path, const QString& reason)
{
    throw AppError(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

} // namespace

void CopyFileReplacing(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot read file"), source, in.errorString());
    }
    // The rename below would replace even a read-only file; the user's protection wins. The
    // permission bits are checked too because access() answers yes to root.
    const QFileInfo existing(target);
    if (existing.exists() &&
        (!existing.isWritable() || !(existing.permissions() & QFileDevice::WriteOwner))) {
        fail(QStringLiteral("Cannot replace file"), target, QStringLiteral("Permission denied"));
    }
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("Cannot write file"), target, out.errorString());
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            fail(QStringLiteral("Cannot read file"), source, in.errorString());
        }
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            fail(QStringLiteral("Cannot write file"), target, out.errorString());
        }
    }
    if (!out.commit()) {
        fail(QStringLiteral("Cannot write file"), target, out.errorString());
    }
}

void SaveResultDocument(QWidget* parent, const QString& wordFile)
{
    ErrorTrap trap(
        identity::location(QStringLiteral("Form2"), QStringLiteral("PushButton6_Click")));
    const QString title = identity::applicationTitle();
    QString path;
    trap.step(100, [&] {
        path = Seams::current().saveFileName(parent, QStringLiteral("Save File"),
                                             QStringLiteral("Word Files (*.doc)"));
    });
    bool write = false;
    trap.step(102, [&] { write = !path.isEmpty(); });
    if (write) {
        trap.step(104, [&] {
            if (FileExists(path)) {
                const QString question = QStringLiteral("Are you sure you wish to overwrite ") +
                                         path + QStringLiteral(" ?");
                write =
                    Seams::current().messageBox(question, title, MsgStyle::YesNo) == MsgAnswer::Yes;
            }
        });
    }
    if (write) {
        // The old file stays until the new copy is complete, then is replaced in one rename.
        trap.step(106, [&] { CopyFileReplacing(wordFile, path); });
    }
    trap.step(108,
              [&] { Seams::current().messageBox(QStringLiteral("Done."), title, MsgStyle::Ok); });
}
