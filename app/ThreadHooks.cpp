#include "app/ThreadHooks.h"

#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {

PopupKeysInModalLoop::PopupKeysInModalLoop(HWND popup) {
    if (popup_ == nullptr) {
        popup_ = popup;
        keys_ = ::LoadAcceleratorsA(ProgramInstance(), MAKEINTRESOURCEA(IDR_POPUP_KEYS));
        hook_.Reset(::SetWindowsHookExA(WH_MSGFILTER, Filter, nullptr, ::GetCurrentThreadId()));
        installed_ = true;
    }
}

PopupKeysInModalLoop::~PopupKeysInModalLoop() {
    if (installed_) {
        hook_.Reset();
        popup_ = nullptr;
    }
}

LRESULT CALLBACK PopupKeysInModalLoop::Filter(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && popup_ != nullptr && keys_ != nullptr &&
        (message->hwnd == popup_ || ::IsChild(popup_, message->hwnd)) &&
        ::TranslateAcceleratorA(popup_, keys_, message)) {
        return TRUE;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void SearchBoxGate::Install(HWND popup) {
    popup_ = popup;
    hook_.Reset(
        ::SetWindowsHookExA(WH_GETMESSAGE, DropPrivateMessages, nullptr, ::GetCurrentThreadId()));
}

void SearchBoxGate::Remove() {
    hook_.Reset();
    popup_ = nullptr;
}

LRESULT CALLBACK SearchBoxGate::DropPrivateMessages(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && message->message >= WM_USER && message->message < 0xC000 &&
        popup_ != nullptr && message->hwnd != nullptr) {
        HWND searchBox = ::GetDlgItem(popup_, IDC_SEARCH_BOX);
        if (searchBox != nullptr &&
            (message->hwnd == searchBox || ::IsChild(searchBox, message->hwnd))) {
            message->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace vp
