// Turning a gesture or hot key into a search text: the triggers are handed to the hook
// library and registered as hot keys; a trigger makes the foreground application copy
// its selection, and the copy is caught as a clipboard viewer within a short window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/SelectionReader.h"
#include "base/ProgramNames.h"
#include "base/SearchText.h"
#include "core/Settings.h"
#include "win/ClipboardSnapshot.h"

namespace vp {

// Hot-key ids and timers of the main window.
inline constexpr int HOTKEY_POPUP = 0;
inline constexpr int HOTKEY_DEFAULT = 1;
inline constexpr UINT_PTR TIMER_DEFAULT_CAPTURE = 1;
inline constexpr UINT_PTR TIMER_POPUP_CAPTURE = 2;
inline constexpr UINT_PTR TIMER_SHOW_POPUP = 3;
inline constexpr UINT kCaptureWindowMs = 1200;
inline constexpr UINT kShowPopupDelayMs = 120;
// How long the next clipboard viewer may take over a message passed on along the chain.
inline constexpr UINT kViewerAnswerMs = 500;

// The texts that one clipboard change delivered: for the popup and for the default site;
// and whether the popup, waiting for its text, is to be shown now.
struct CapturedText {
    std::optional<SearchText> popupText;
    std::optional<SearchText> defaultSiteText;
    bool showPopup = false;
};

class TriggerCapture {
public:
    // Joins the clipboard viewer chain of `window`, which receives the triggers.
    void Attach(HWND window);
    // Leaves the chain and gives up the hot keys.
    void Detach();

    // Hands the gestures and the programs without gestures to the hook library and
    // registers the hot keys, which stay global; nothing fires while inactive.
    void Apply(const TriggerSettings& triggers, const ProgramHashes& exclusions, bool active);
    // Whether the clipboard is put back as it was once a capture is over.
    void SetKeepClipboard(bool keep) { keepClipboard_ = keep; }
    // Whether a trigger first reads the selection from the focused control, without the
    // clipboard.
    void SetReadDirectly(bool direct) { readDirectly_ = direct; }

    // A trigger. The selection read straight from the focused control is returned at
    // once: the popup is to be shown, or the default site searched, with it. Otherwise the
    // selection is copied and caught within the capture window, and the popup is shown at
    // the first clipboard change or at the latest shortly after the trigger. Later
    // clipboard changes within the popup's capture window replace its text either way.
    std::optional<SearchText> StartPopupCapture();
    std::optional<SearchText> StartDefaultCapture();

    // WM_TIMER: returns true when the popup is to be shown now.
    bool OnTimer(UINT_PTR timer);
    // WM_DRAWCLIPBOARD: passes the change on to the next viewer and returns what the
    // pending captures took from it.
    CapturedText OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void OnChangeClipboardChain(WPARAM removed, LPARAM next);

private:
    void RegisterTriggerHotKey(int id, std::uint32_t modifierIndex, std::uint32_t keyIndex,
                               bool enable);
    std::optional<SearchText> ReadClipboardText() const;
    // Before a trigger's copy: notes the clipboard's sequence number, and remembers the
    // clipboard and the foreground application unless a capture is already watched
    // (the clipboard may then hold its copy).
    void SnapshotClipboard();
    // After the last open capture: puts the remembered clipboard back if it still holds
    // the copy that the capture asked for.
    void RestoreClipboard();

    // The selection read without the clipboard, when that is on and the control allows.
    std::optional<SearchText> ReadDirectly() const;

    SelectionReader reader_;
    bool readDirectly_ = true;
    bool popupAwaitsText_ = false;  // the popup is shown at the first clipboard change
    bool keepClipboard_ = false;
    bool watching_ = false;  // from a trigger's snapshot until its restore
    std::optional<win::ClipboardSnapshot> snapshot_;
    DWORD triggerSequence_ = 0;   // the clipboard at the latest trigger
    DWORD copyingProcess_ = 0;    // the foreground application at the watched trigger
    DWORD capturedSequence_ = 0;  // the clipboard after the capture's own copy; 0 before it
    bool otherChange_ = false;    // the first change after the trigger was someone else's
    DWORD restoredSequence_ = 0;  // the clipboard as the restore left it

    HWND window_ = nullptr;
    HWND nextClipboardViewer_ = nullptr;
    bool popupCapturePending_ = false;
    bool defaultCapturePending_ = false;
    bool popupHotKeyRegistered_ = false;
    bool defaultHotKeyRegistered_ = false;
    UINT_PTR defaultCaptureTimer_ = 0;
    UINT_PTR popupCaptureTimer_ = 0;
    UINT_PTR showPopupTimer_ = 0;
};

}  // namespace vp
