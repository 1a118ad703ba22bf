#include "tests/win/PopupFixture.h"

#include "resources/resource.h"

namespace vp {

std::vector<HWND> LinksOf(HWND popup) {
    std::vector<HWND> links;
    while (HWND link = ::GetDlgItem(popup, IDC_FIRST_SITE_LINK + static_cast<int>(links.size()))) {
        links.push_back(link);
    }
    return links;
}

bool HotKeyIsFree(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0x7F00, modifiers, key)) {
        return false;
    }
    ::UnregisterHotKey(nullptr, 0x7F00);
    return true;
}

}  // namespace vp
