#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// True when something (a file, a folder, a link) is at path; false for an empty path, a path
// with wildcards, or anything that cannot be read. Never throws.
bool FileExists(const QString& path);

// What lets pending window events run; the window layer sets it, and until then nothing runs.
void setPendingEventsHook(std::function<void()> hook);

// Lets pending window events run once, then writes bytes raw to path unless something is
// already there. Never overwrites and never follows a link planted at path, also on file systems
// without hard links. A failed write leaves no partial file behind and throws AppError with the
// reason.
void WriteFileIfMissing(const QByteArray& bytes, const QString& path);

// Writes bytes to path whole or not at all, replacing what is there; a link at path is replaced,
// never written through. A failure leaves path as it was and throws AppError with the reason.
void WriteFileReplacing(const QByteArray& bytes, const QString& path);

// Throws AppError unless path is a regular file of this user: never a link, a folder, or a
// file someone else planted in a shared folder.
void RequireOwnRegularFile(const QString& path);

// Whether a rename onto path would replace a file the person protected: a file (not a link)
// without write permission. The permission bits are read too, because access() answers yes to
// root.
bool IsReadOnlyFile(const QString& path);

// Removes the file at path (a link itself, never its target); every failure is ignored.
void DeleteFileQuietly(const QString& path);

// A fresh, empty file beside path (in its folder, so that a rename can give it path's name) under
// a hidden name no one else has, with the permissions a new file gets. Throws AppError.
QString MakeScratchBeside(const QString& path);

// Copies the bytes of source over the content of target, whole; throws AppError with the reason.
void CopyFileContent(const QString& source, const QString& target);

// Throws AppError unless a file at target (or where a link there leads) may be replaced: a rename
// would replace even a read-only file, and the person's protection wins. The permission bits are
// read too, because access() answers yes to root.
void RequireReplaceable(const QString& target);

// A byte copy of source at target. The copy is written beside the target and renamed over it
// only when complete, so a failure leaves an existing target as it was. A target without write
// permission is refused. Throws AppError with the reason.
void CopyFileReplacing(const QString& source, const QString& target);

// Gives the finished file at from the name path in one step. With replace, whatever has the name
// goes (a link itself, never its target); without, nothing is ever replaced, however late it
// appeared: then false, and from keeps its name. Throws AppError for any other failure.
bool MoveIntoPlace(const QString& from, const QString& path, bool replace);
