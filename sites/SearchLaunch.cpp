#include "sites/SearchLaunch.h"

#include <windows.h>
#include <shellapi.h>

#include "sites/SearchUrl.h"
#include "win/WinText.h"

namespace vp {

void OpenSearch(const std::string& siteUrl, const SearchText& text) {
    if (HasSearchPlaceholder(siteUrl)) {
        // The placeholder's text is percent-encoded ASCII, so the URL stays ANSI.
        const std::u16string wide = text.IsWide() ? text.wide : AnsiToUtf16(text.ansi);
        if (auto url = ComposePlaceholderUrl(siteUrl, wide, SystemLeadBytes())) {
            ::ShellExecuteA(nullptr, "open", url->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        }
    } else if (!text.IsWide()) {
        if (auto url = ComposeSearchUrl(siteUrl, text.ansi, SystemLeadBytes())) {
            ::ShellExecuteA(nullptr, "open", url->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        }
    } else if (auto url = ComposeSearchUrl(AnsiToUtf16(siteUrl), text.wide)) {
        ::ShellExecuteW(nullptr, L"open", WidePointer(*url), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace vp
