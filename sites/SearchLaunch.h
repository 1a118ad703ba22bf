// Opening a site's search for a text in the user's browser.
#pragma once

#include <string>

#include "base/SearchText.h"

namespace vp {

// Puts text into the site's URL (in place of each "{q}", or appended) and asks the shell
// to open the result. Only a web address ever reaches the shell; anything else opens
// nothing. An ANSI text at a site without placeholder takes the ANSI path as it always
// did; a wide text is opened as a UTF-16 URL.
void OpenSearch(const std::string& siteUrl, const SearchText& text);

}  // namespace vp
