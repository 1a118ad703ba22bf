#include "sites/SearchLaunch.h"

#include <windows.h>
#include <shellapi.h>

#include "sites/SearchUrl.h"
#include "win/WinText.h"

namespace vp {

void OpenSearch(const std::string& siteUrl, const std::string& text) {
    if (auto url = ComposeSearchUrl(siteUrl, text, SystemLeadBytes())) {
        ::ShellExecuteA(nullptr, "open", url->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace vp
