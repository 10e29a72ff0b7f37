#pragma once

#include <QString>

namespace word {

// A brand-new office profile makes the office set it up and then exit, asking to be started
// again: a fifth of a second lost at every start. The first profile an office has set up is kept
// in the user's cache as a seed, and each later office starts on a copy of it. The seed is named
// after the office program (path, size, time) and the settings it was made with, so another
// office or other settings make a seed of their own. Without a cache to keep it in, every office
// simply sets its profile up itself.
class ProfileSeed
{
public:
    // settings: the profile's own settings file text, part of the seed's name.
    ProfileSeed(const QString& officeProgram, const QByteArray& settings);
    // The folder the seed is kept in; the cache folder can be given for tests.
    ProfileSeed(const QString& officeProgram, const QByteArray& settings,
                const QString& cacheFolder);

    // Copies the seed into the (new, empty) profile folder; false when there is no seed or the
    // copy failed, in which case the profile is left empty.
    bool copyInto(const QString& profile) const;
    // Keeps a profile the office has just set up, unless a seed is kept already. Never throws: a
    // seed is only a saving.
    void keep(const QString& profile) const;

    QString folder() const { return mFolder; }

private:
    QString mFolder;
};

} // namespace word
