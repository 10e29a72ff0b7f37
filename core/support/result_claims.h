#pragma once

#include <QString>

// A run's result lives in the temporary folder under a drawn name until the preview lets go of
// it, and a print's PDF until it is sent. A program killed before then leaves them there; a
// claim, naming the program that made the file, lets a later start remove it, and only it. Claims
// are kept in the user's cache, out of the temporary folder, one small file each.
namespace result_claims {

// Where the claims are kept; tests give their own folder to the calls below.
QString defaultFolder();

// Claims path (a file about to be made) for this program. Quiet: without a claim the file is only
// not swept up later.
void claim(const QString& path, const QString& claims = defaultFolder());
// Lets go of this program's claims whose files are gone (the preview removed them).
void release(const QString& claims = defaultFolder());
// Removes each claimed file whose claims all name programs that no longer run, and those claims.
// A file nobody claimed is never touched.
void sweep(const QString& claims = defaultFolder());

} // namespace result_claims
