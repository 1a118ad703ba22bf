// Turning a gesture or hot key into a search text: the triggers are handed to the hook
// library and registered as hot keys; a trigger makes the foreground application copy
// its selection, and the copy is caught as a clipboard viewer within a short window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/SelectionReader.h"
#include "base/CaptureSession.h"
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
inline constexpr UINT_PTR TIMER_CAPTURE_SESSION = 4;  // the kept clipboard's session
// How long the next clipboard viewer may take over a message passed on along the chain.
inline constexpr UINT kViewerAnswerMs = 500;
// How long the program's thread waits for the clipboard to be kept at a trigger.
inline constexpr DWORD kSnapshotBudgetMs = 150;

// What a trigger, a clipboard change or a timer gives the main window to do: texts for
// the popup and for the default site, whether the popup is to be shown now, and whether
// a copy was not made because the clipboard could not be kept.
struct CapturedText {
    std::optional<SearchText> popupText;
    std::optional<SearchText> defaultSiteText;
    bool showPopup = false;
    bool clipboardNotKept = false;
};

class TriggerCapture {
public:
    // Joins the clipboard viewer chain of `window`, which receives the triggers.
    void Attach(HWND window);
    // Leaves the chain, gives the clipboard back when a capture is still open and gives
    // up the hot keys.
    void Detach();

    // Hands the gestures and the programs without gestures to the hook library and
    // registers the hot keys, which stay global; nothing fires while inactive.
    void Apply(const TriggerSettings& triggers, const ProgramHashes& exclusions, bool active);
    // Whether the clipboard is put back as it was once a capture is over.
    void SetKeepClipboard(bool keep) { session_.SetKeepClipboard(keep); }
    // Whether a trigger first reads the selection from the focused control, without the
    // clipboard.
    void SetReadDirectly(bool direct) { readDirectly_ = direct; }

    // A trigger. The selection read straight from the focused control comes back at once
    // and is final. Otherwise the selection is copied and caught within the capture
    // window; the popup is shown at the first clipboard change or shortly after the
    // trigger, and later changes within its capture window replace its text.
    CapturedText Start(TriggerKind kind);
    // WM_TIMER.
    CapturedText OnTimer(UINT_PTR timer);
    // WM_DRAWCLIPBOARD: passes the change on to the next viewer first.
    CapturedText OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void OnChangeClipboardChain(WPARAM removed, LPARAM next);

private:
    void RegisterTriggerHotKey(int id, std::uint32_t modifierIndex, std::uint32_t keyIndex,
                               bool enable);
    // The clipboard's text when it is still at the change the session asked to read.
    std::optional<SearchText> ReadClipboardText();
    // Carries out what the session decided, then arms the timers at its deadlines.
    CapturedText Perform(const CaptureActions& actions);

    SelectionReader reader_;
    bool readDirectly_ = true;
    CaptureSession session_;
    std::optional<win::ClipboardSnapshot> snapshot_;

    HWND window_ = nullptr;
    HWND nextClipboardViewer_ = nullptr;
    bool popupHotKeyRegistered_ = false;
    bool defaultHotKeyRegistered_ = false;
};

}  // namespace vp
