// The program's one top-level window: the hidden receiver of the triggers, the owner of
// the notification-area icon and the popup that the user sees.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "popup/ColorStatic.h"
#include "popup/SearchBox.h"
#include "popup/SearchHistory.h"
#include "sites/SiteCatalogue.h"
#include "win/Handle.h"
#include "win/Window.h"

namespace vp {

inline constexpr char kMainWindowClass[] = "QH_VantapickerHiddenWnd";
inline constexpr char kInstanceMutexName[] = "QH_VantapickerMutex";

// Hot-key ids and timers of the main window.
inline constexpr int HOTKEY_POPUP = 0;
inline constexpr int HOTKEY_DEFAULT = 1;
inline constexpr UINT_PTR TIMER_DEFAULT_CAPTURE = 1;
inline constexpr UINT_PTR TIMER_POPUP_CAPTURE = 2;
inline constexpr UINT_PTR TIMER_SHOW_POPUP = 3;
inline constexpr UINT kCaptureWindowMs = 1200;
inline constexpr UINT kShowPopupDelayMs = 120;

class MainWindow : public win::Window {
public:
    MainWindow();

    // Registers the window class and creates the hidden window.
    bool CreateHidden(HINSTANCE instance);
    // The start-up sequence; an error shows the error box and ends the program.
    void InitializeApplication();
    // The one orderly end of the program: stores what must survive, then destroys the
    // window, whose WM_DESTROY ends the message loop.
    void ExitProgram();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Start-up and end (MainWindow.cpp).
    void InitializeSteps();
    void LoadSettings();
    void LoadActiveState();
    void SaveActiveState();
    void CreateSearchBox();
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    void StoreStateForNextRun();

    // Triggers and text capture (Triggers.cpp).
    void ApplyTriggers();
    void RegisterTriggerHotKey(int id, std::uint32_t modifierIndex, std::uint32_t keyIndex,
                               bool enable);
    void SimulateCopy();
    static void SendKeyEvent(BYTE virtualKey, bool press);
    bool ReadClipboardText(std::string& text);
    LRESULT OnHotKey(WPARAM, LPARAM);
    LRESULT OnPopupTrigger(WPARAM, LPARAM);
    LRESULT OnDefaultTrigger(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDrawClipboard(WPARAM, LPARAM);
    LRESULT OnChangeClipboardChain(WPARAM, LPARAM);

    // The popup (popup/Popup.cpp).
    void CreateBackgroundBrush();
    void RebuildSiteLinks();
    RECT PopupRectAtCursor() const;
    void ShowAtCursor();
    void ShowWithText(const std::string& text);
    HWND FocusedChild() const;
    void MoveFocus(bool forward);
    LRESULT OnCommand(WPARAM, LPARAM);
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnShowPopup(WPARAM, LPARAM);

    // Tray icon, tray menu and activation (Tray.cpp).
    void AddTrayIcon();
    void UpdateTrayIcon();
    void RemoveTrayIcon();
    void OnTaskbarCreated();
    void ShowTrayMenu();
    void SetActive(bool active);
    LRESULT OnTrayNotify(WPARAM, LPARAM);

    // Searches (Search.cpp).
    void OpenSiteSearch(std::size_t index);
    void OpenDefaultSiteSearch(const std::string& text);
    void AddToSearchHistory(const std::string& text);
    static void OpenSearch(const std::string& siteUrl, const std::string& text);

    HICON ActiveIcon;  // shared icon resources: not destroyed
    HICON InactiveIcon;
    bool Active = true;
    // True once the activation state and the history were read: before that, storing
    // them would overwrite the user's with defaults.
    bool StateLoaded = false;
    bool PopupCapturePending = false;
    bool DefaultCapturePending = false;
    bool PopupHotKeyRegistered = false;
    bool DefaultHotKeyRegistered = false;
    VisibleSiteList VisibleSites;
    std::string defaultSiteUrl;
    HWND NextClipboardViewer = nullptr;
    UINT_PTR DefaultCaptureTimer = 0;
    UINT_PTR PopupCaptureTimer = 0;
    UINT_PTR ShowPopupTimer = 0;
    win::KernelHandle InstanceMutex;
    vp::SiteCatalogue SiteCatalogue;  // without categories
    vp::SearchBox SearchBox;
    std::vector<std::unique_ptr<ColorStatic>> SiteLinks;
    int ContentHeight = 0;
    SearchHistoryList SearchHistory;
    TriggerSettings Triggers;
    win::GdiObject BackgroundBrush;
    win::GdiObject BackgroundBitmap;  // the pattern of BackgroundBrush, if any
    UINT TaskbarCreatedMessage;
};

}  // namespace vp
