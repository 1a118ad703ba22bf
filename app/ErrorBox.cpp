#include "app/ErrorBox.h"

#include <windows.h>

#include "app/WinText.h"

namespace vp {

void ShowErrorBox(std::int32_t code, const std::string& text) {
    if (code >= 0) {
        return;
    }
    std::string caption = LoadResourceString(IDS_PRODUCT_NAME);
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONINFORMATION);
}

}  // namespace vp
