#pragma once

#include <QString>

namespace word {

// A brand-new office profile makes the office set it up and then exit, asking to be started
// again: a fifth of a second lost at every start. The first profile an office has set up is kept
// in the user's cache as a seed, and each later office starts on a copy of it. The seed is named
// after the office program (path, size, time) and the settings it was made with, so another
// office or other settings make a seed of their own.
//
// The seed is only a saving: a cache that cannot be used, or a seed that was damaged after it was
// kept (cut short, garbled, files missing), costs the saving and nothing else. Its manifest,
// written last, names every file with its size and hash, and a copy is checked against it as it
// is made; a seed that fails is removed, and the next office that sets a profile up keeps a new
// one. Keeping a new seed removes all but the three other seeds used last: those of an office or
// settings since replaced would otherwise stay for ever.
class ProfileSeed
{
public:
    // settings: the profile's own settings file text, part of the seed's name.
    ProfileSeed(const QString& officeProgram, const QByteArray& settings);
    // The folder the seed is kept in; the cache folder can be given for tests.
    ProfileSeed(const QString& officeProgram, const QByteArray& settings,
                const QString& cacheFolder);

    // Copies a whole seed into the (new, empty) profile folder. False when there is no seed, it
    // is damaged (and then removed), or the copy failed; the profile folder is then left empty.
    bool copyInto(const QString& profile) const;
    // Keeps a profile the office has just set up, unless a seed is kept already, and makes room
    // beside it. Never throws.
    void keep(const QString& profile) const;
    // Removes the seed, saying why on standard error: an office did not come up on a copy.
    void discard(const QString& why) const;

    QString folder() const { return mFolder; }
    // The seed's manifest, inside its folder; the seed counts only once it is there.
    static constexpr auto kManifest = "ticketwright-seed.manifest";

private:
    QString mFolder;
};

} // namespace word
