// Reading and writing site list files. The program's own file lives in the user's
// local application data folder once the user has changed the catalogue; until then
// the copy that setup put into the Windows directory is read.
#pragma once

#include <string>

#include "sites/SiteCatalogue.h"

namespace vp {

// %LOCALAPPDATA%\Quenhollow\Vantapicker\AvailableSites.qhsl (empty if unknown).
std::string UserSiteListPath();
// <Windows directory>\AvailableSites.qhsl
std::string SystemSiteListPath();
// The own file to read: the user's copy when it exists, else the Windows directory's.
std::string OwnSiteListPathForReading();

// Fills the emptied catalogue (and categories, when given) from a file: the own file
// when path is null. A user's own file that cannot be read is renamed beside itself
// (".unreadable") and the Windows directory's copy is read instead. Raises _qh_error: the system error with message 108 when the file
// cannot be opened; E_FAIL with message 141 (given path) or 108 (own file) when it is
// not a site list. A failed read of the bytes leaves the catalogue empty.
void LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories,
                  const char* path = nullptr);

// Writes the catalogue with its categories to a file (the user's own file when path is
// null, folders created as needed), through a new temporary file beside it that replaces
// the previous file only once it is complete. Returns whether the file was written (the
// thread's last error then says why not); raises nothing.
bool SaveSiteList(const SiteCatalogue& catalogue, const SiteCategoryList& categories,
                  const char* path = nullptr);

}  // namespace vp
