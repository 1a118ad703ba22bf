// Reading and writing site list files. The program's own file lives in the user's
// local application data folder once the user has changed the catalogue; until then
// the copy that setup put into the Windows directory is read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/Configuration.h"
#include "sites/SiteCatalogue.h"

namespace vp {

// The paths are in UTF-16: a profile's folder may be named in any language.
// %LOCALAPPDATA%\Quenhollow\Vantapicker\AvailableSites.qhsl (empty if unknown).
std::u16string UserSiteListPath();
// <Windows directory>\AvailableSites.qhsl
std::u16string SystemSiteListPath();
// The own file to read: the user's copy when it exists, else the Windows directory's.
std::u16string OwnSiteListPathForReading();

// Which file a load read.
enum class SiteListSource {
    GivenFile,
    UserFile,     // the user's own file
    WindowsCopy,  // the user has no file, or its contents were bad and it was set aside
    ManagedFile,  // the same, with the organisation's file (SiteListPath) in its place
    // The user's file is there but could not be opened or read (held open by another
    // program, say); it was left untouched and the Windows directory's copy stands in.
    WindowsCopyForUnreadUserFile,
    // The organisation's file (SiteListPath) has not been read yet, or could not be:
    // its last good copy stands in (ManagedCopy) or, without one, the Windows
    // directory's copy. Nothing may be stored over the organisation's list.
    ManagedCopy,
    WindowsCopyForUnreadManagedFile,
};

// The last good copy of the organisation's list, beside the user's own file.
std::u16string ManagedSiteListCopyPath();
// From now on the organisation's list is read on a thread of its own, with a deadline
// (a share that does not answer holds up nothing), and LoadSiteList takes what that read
// brought or, until then, the last good copy. Starts a read of `path` (the SiteListPath
// policy; nothing: none) unless one is under way; `window` gets `message` posted when it
// ends.
void ReadManagedSiteListInBackground(HWND window, UINT message,
                                     const std::optional<std::u16string>& path);
// True once for each read that ended since the last call: the posted message alone,
// which any program can post, is no reason to load the lists again.
bool TakeManagedSiteListArrival();
// Starts another read of `path` when the last one failed.
void ReadManagedSiteListAgainIfUnread(const std::optional<std::u16string>& path);

// Fills the emptied catalogue (and categories, when given) from the file at `path`.
// Raises _qh_error: the system error with message 108 when the file cannot be opened;
// the system error with the system's text when it opened but could not be read; E_FAIL
// with message 141 when it is not a site list.
SiteListSource LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories,
                            const char* path);

// Fills the emptied catalogue (and categories, when given) from the own file. A user's own file
// whose contents are not a site list is renamed beside itself (".unreadable"); one that cannot be
// opened (tried again for a moment while another program holds it) or read is left as it is. In
// both cases the Windows directory's copy is read instead. Raises _qh_error: the system error with
// message 108 when the file cannot be opened; E_FAIL with message 108 when it is not a site list.
// Policies (`policy`): SiteListPath names a file that is read, never changed, in place of the
// Windows directory's copy; when it cannot be read, the Windows directory's copy serves
// and `managedProblem` (when given) gets the file's path and why. Once it is read in the
// background, only that read's result is used (see ReadManagedSiteListInBackground). With
// AllowSiteEditing off, the user's own file is passed over.
SiteListSource LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories,
                            const SiteListPolicy& policy, std::string* managedProblem = nullptr);

// Writes the catalogue with its categories to a file (the user's own file when path is
// null, folders created as needed), through a new temporary file beside it that replaces
// the previous file only once it is complete. Returns 0 when the file was written, else
// the system error that stopped it (never 0); raises nothing.
[[nodiscard]] std::uint32_t SaveSiteList(const SiteCatalogue& catalogue,
                                         const SiteCategoryList& categories,
                                         const char* path = nullptr);

}  // namespace vp
