// A trigger's way to the popup: the hot keys and the hook's triggers start a capture, the
// clipboard's changes and the capture's timers carry it on, and what it gives goes to the
// popup (its text, the default site's search, showing it) and to the icon (the notice that
// the clipboard was not kept, once per run).
#pragma once

#include <windows.h>

#include "app/TrayIcon.h"
#include "app/TriggerCapture.h"
#include "popup/PopupView.h"

namespace vp {

class TriggerDelivery {
public:
    TriggerDelivery(TriggerCapture& capture, PopupView& popup, TrayIcon& tray)
        : capture_(capture), popup_(popup), tray_(tray) {}

    // The capture joins the clipboard viewer chain of `window`, which receives the
    // triggers.
    void Attach(HWND window);

    void OnHotKey(WPARAM id);
    void OnPopupTrigger();
    void OnDefaultTrigger();
    void OnTimer(WPARAM timer);
    void OnDrawClipboard(WPARAM first, LPARAM second);

private:
    // Carries out what a trigger, a clipboard change or a capture timer gave to do.
    void Deliver(const CapturedText& captured);

    HWND window_ = nullptr;
    TriggerCapture& capture_;
    PopupView& popup_;
    TrayIcon& tray_;
    bool clipboardNoticeShown_ = false;
};

}  // namespace vp
