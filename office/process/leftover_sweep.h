#pragma once

#include <QString>

namespace word {

// What an office of this program leaves behind when it is killed outright: its private folder
// "ticketwright-office-<pid>-XXXXXX" in the temporary folder, marked by a file of ours inside (the
// office's own lu*.tmp scratch folders lie inside it), its pipe socket
// "OSL_PIPE_<uid>_ticketwright-<pid>-…", which the office always makes in /tmp, and beside it the
// socket of its single-instance check, named after the profile in that folder. The folder and the
// pipe carry the id of the program that started the office; a sweep removes those whose program no
// longer runs, with the folder's instance socket, and leaves a running program's alone. Only what
// the program can show it made is removed: a name of exactly the form it writes, owned by this
// user, not a link, and for a folder its mark inside; a person's "ticketwright-office-notes" stays.
class LeftoverSweep
{
public:
    static constexpr auto kFolderPrefix = "ticketwright-office-";
    static constexpr auto kPipePrefix = "ticketwright-";
    // The file an office's folder holds from its making on.
    static constexpr auto kFolderMark = ".ticketwright-office";

    // The places the office uses; tests point the sweep elsewhere.
    explicit LeftoverSweep(const QString& tempFolder,
                           const QString& socketFolder = defaultSocketFolder());

    // The socket the office makes for the pipe of that name.
    static QString socketPath(const QString& pipeName);
    // The socket an office makes for its single-instance check, named after its profile's URL;
    // an office that is killed leaves it behind.
    static QString instanceSocketName(const QString& profileUrl);
    static QString instanceSocketPath(const QString& profileUrl);
    // The URL of the profile an office of this program keeps in its folder.
    static QString profileUrlOf(const QString& folder);
    static QString defaultSocketFolder() { return QStringLiteral("/tmp"); }
    // The first sweep of this program over the usual places; later calls do nothing.
    static void once();

    void run() const;

private:
    void removeFolders() const;
    void removeSockets() const;

    QString mTempFolder;
    QString mSocketFolder;
};

} // namespace word
