#include "app/MainWindow.h"

#include "app/ErrorBox.h"
#include "app/Messages.h"
#include "app/WinText.h"
#include "hook/VPHook.h"
#include "resources/resource.h"
#include "sites/SelectionStore.h"
#include "sites/SiteListFile.h"

namespace vp {

MainWindow::MainWindow()
    : ActiveIcon(::LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_ACTIVE))),
      InactiveIcon(::LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_INACTIVE))),
      // Exists while the program runs; the single-instance test rests on the window class.
      InstanceMutex(::CreateMutexA(nullptr, FALSE, kInstanceMutexName)),
      TaskbarCreatedMessage(::RegisterWindowMessageA("TaskbarCreated")) {}

bool MainWindow::CreateHidden(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMainWindowClass;
    ::RegisterClassExA(&windowClass);

    HWND hwnd = Create(WS_EX_TOOLWINDOW, kMainWindowClass, nullptr, WS_CAPTION | WS_SYSMENU, 0, 0,
                       220, 0, nullptr, nullptr, instance);
    if (hwnd == nullptr) {
        return false;
    }
    ::SetWindowTextA(hwnd, VP_TEXT_WINDOW_TITLE);
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr win::MessageEntry<MainWindow, LRESULT> kMessages[] = {
        {WM_CREATE, &MainWindow::OnCreate},
        {WM_DESTROY, &MainWindow::OnDestroy},
        {WM_ACTIVATE, &MainWindow::OnActivate},
        {WM_SETFOCUS, &MainWindow::OnSetFocus},
        {WM_PAINT, &MainWindow::OnPaint},
        {WM_CLOSE, &MainWindow::OnClose},
        {WM_ERASEBKGND, &MainWindow::OnEraseBackground},
        {WM_ENDSESSION, &MainWindow::OnEndSession},
        {WM_COMMAND, &MainWindow::OnCommand},
        {WM_TIMER, &MainWindow::OnTimer},
        {WM_DRAWCLIPBOARD, &MainWindow::OnDrawClipboard},
        {WM_CHANGECBCHAIN, &MainWindow::OnChangeClipboardChain},
        {WM_HOTKEY, &MainWindow::OnHotKey},
        {WM_TRAY_NOTIFY, &MainWindow::OnTrayNotify},
        {WM_POPUP_TRIGGER, &MainWindow::OnPopupTrigger},
        {WM_DEFAULT_TRIGGER, &MainWindow::OnDefaultTrigger},
        {WM_SHOW_POPUP, &MainWindow::OnShowPopup},
    };
    // The task bar's restart message has a number known only at run time.
    if (message == TaskbarCreatedMessage && TaskbarCreatedMessage != 0) {
        OnTaskbarCreated();
        return 0;
    }
    return Dispatch(kMessages, message, wParam, lParam);
}

void MainWindow::InitializeApplication() {
    if (!RunReportingErrors([this] { InitializeSteps(); })) {
        ExitProgram();
    }
}

void MainWindow::InitializeSteps() {
    LoadSiteList(SiteCatalogue, nullptr);
    VisibleSites = LoadVisibleSites(SiteCatalogue);
    LoadSettings();
    LoadActiveState();
    CreateSearchBox();
    StateLoaded = true;
    RebuildSiteLinks();
    AddTrayIcon();
    // The hook library knows its gestures before the hook exists.
    ApplyTriggers();
    SetVPHook(Handle());
    UpdateTrayIcon();
}

void MainWindow::LoadSettings() {
    defaultSiteUrl = ResolveDefaultSite(SiteCatalogue);
    ReadTriggerSettings(Triggers);
}

void MainWindow::LoadActiveState() {
    ReadActiveState(Active);
}

void MainWindow::SaveActiveState() {
    try {
        WriteActiveState(Active);
    } catch (const _qh_error&) {
        // The program is ending; a setting that cannot be stored is not worth a message.
    }
}

void MainWindow::CreateSearchBox() {
    SearchBox.CreateIn(Handle());
    SearchHistory = LoadSearchHistory();
    SearchBox.Fill(SearchHistory);
}

void MainWindow::StoreStateForNextRun() {
    if (!StateLoaded) {
        return;  // start-up failed before reading them: what is stored stays
    }
    SaveActiveState();
    SaveSearchHistory(SearchHistory);
}

void MainWindow::ExitProgram() {
    try {
        UnhookVPHook();
        StoreStateForNextRun();
        RemoveTrayIcon();
    } catch (...) {
        // Whatever failed, the window must still go and the message loop end.
    }
    ::DestroyWindow(Handle());
}

LRESULT MainWindow::OnCreate(WPARAM, LPARAM) {
    CreateBackgroundBrush();
    NextClipboardViewer = ::SetClipboardViewer(Handle());
    return 0;
}

LRESULT MainWindow::OnDestroy(WPARAM, LPARAM) {
    ::ChangeClipboardChain(Handle(), NextClipboardViewer);
    if (PopupHotKeyRegistered) {
        ::UnregisterHotKey(Handle(), HOTKEY_POPUP);
    }
    if (DefaultHotKeyRegistered) {
        ::UnregisterHotKey(Handle(), HOTKEY_DEFAULT);
    }
    ::PostQuitMessage(0);
    return 0;
}

LRESULT MainWindow::OnClose(WPARAM, LPARAM) {
    ::ShowWindow(Handle(), SW_HIDE);  // the popup only hides; the program goes on
    return 0;
}

LRESULT MainWindow::OnEndSession(WPARAM wParam, LPARAM) {
    // Windows is ending the session: keep what Exit would have kept.
    if (wParam) {
        StoreStateForNextRun();
    }
    return 0;
}

}  // namespace vp
