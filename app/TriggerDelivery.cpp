#include "app/TriggerDelivery.h"

#include <utility>

#include "hook/Messages.h"
#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {

void TriggerDelivery::Attach(HWND window) {
    window_ = window;
    capture_.Attach(window);
}

void TriggerDelivery::OnHotKey(WPARAM id) {
    if (id == HOTKEY_POPUP) {
        ::SendMessageA(window_, WM_POPUP_TRIGGER, 0, 0);
    } else if (id == HOTKEY_DEFAULT) {
        ::SendMessageA(window_, WM_DEFAULT_TRIGGER, 0, 0);
    }
}

void TriggerDelivery::OnPopupTrigger() {
    popup_.SetText("");
    Deliver(capture_.Start(TriggerKind::Popup));
}

void TriggerDelivery::OnDefaultTrigger() {
    Deliver(capture_.Start(TriggerKind::DefaultSite));
}

void TriggerDelivery::OnTimer(WPARAM timer) {
    Deliver(capture_.OnTimer(timer));
}

void TriggerDelivery::OnDrawClipboard(WPARAM first, LPARAM second) {
    Deliver(capture_.OnDrawClipboard(first, second));
}

void TriggerDelivery::Deliver(const CapturedText& captured) {
    if (captured.popupText) {
        popup_.SetText(*captured.popupText);
    }
    if (captured.defaultSiteText) {
        popup_.OpenDefaultSiteSearch(*captured.defaultSiteText);
    }
    if (captured.showPopup) {
        ::PostMessageA(window_, WM_SHOW_POPUP, 0, 0);
    }
    if (captured.clipboardNotKept && !std::exchange(clipboardNoticeShown_, true)) {
        tray_.ShowNotice(LoadResourceString(IDS_CLIPBOARD_NOT_KEPT));
    }
}

}  // namespace vp
