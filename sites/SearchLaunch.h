// Opening a site's search for a text in the user's browser.
#pragma once

#include <string>

namespace vp {

// Appends text to the site's URL and asks the shell to open the result. Only a web
// address ever reaches the shell; anything else opens nothing.
void OpenSearch(const std::string& siteUrl, const std::string& text);

}  // namespace vp
