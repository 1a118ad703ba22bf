#include "app/MainWindow.h"

#include <shellapi.h>

#include <utility>

#include "app/WebAddresses.h"
#include "core/Configuration.h"
#include "core/SearchHistoryStore.h"
#include "hook/HookHost.h"
#include "hook/Messages.h"
#include "hook/VPHook.h"
#include "options/OptionsSheet.h"
#include "popup/AboutBox.h"
#include "resources/resource.h"
#include "sites/SelectionStore.h"
#include "sites/SiteListFile.h"
#include "win/ErrorBox.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {
namespace {

// Posted to itself when Windows says that the policies changed: they are read again once
// the broadcast has been answered.
constexpr UINT WM_POLICIES_CHANGED = WM_APP + 1;
// The background read of the organisation's site list has ended.
constexpr UINT WM_MANAGED_SITE_LIST_READ = WM_APP + 2;

void OpenWithShell(const char* address) {
    ::ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

// While a modal dialog runs its own message loop, the program's loop with the popup's
// accelerator table does not run: the dialog manager's message filter hands the popup's
// keys to that table instead, so the popup keeps its keys while a dialog is open.
class PopupKeysInModalLoop {
public:
    explicit PopupKeysInModalLoop(HWND popup) {
        if (popup_ == nullptr) {
            popup_ = popup;
            keys_ = ::LoadAcceleratorsA(ProgramInstance(), MAKEINTRESOURCEA(IDR_POPUP_KEYS));
            hook_.Reset(::SetWindowsHookExA(WH_MSGFILTER, Filter, nullptr, ::GetCurrentThreadId()));
            installed_ = true;
        }
    }
    ~PopupKeysInModalLoop() {
        if (installed_) {
            hook_.Reset();
            popup_ = nullptr;
        }
    }
    PopupKeysInModalLoop(const PopupKeysInModalLoop&) = delete;
    PopupKeysInModalLoop& operator=(const PopupKeysInModalLoop&) = delete;

private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (code == MSGF_DIALOGBOX && popup_ != nullptr && keys_ != nullptr &&
            (message->hwnd == popup_ || ::IsChild(popup_, message->hwnd)) &&
            ::TranslateAcceleratorA(popup_, keys_, message)) {
            return TRUE;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // One user-interface thread: the outermost dialog's filter serves nested ones too.
    static inline HWND popup_ = nullptr;
    static inline HACCEL keys_ = nullptr;
    static inline win::HookHandle hook_;
    bool installed_ = false;
};

// Posted messages of the private ranges (WM_USER up to the registered ones) carry meaning
// only for the main window and the links, whose handlers check them. The search box's
// controls take pointers in theirs (the extended combo box's items): one posted to them
// is another program's and is dropped, in whichever of the thread's loops it arrives.
HWND GatedPopup = nullptr;  // the main window; one user-interface thread

LRESULT CALLBACK DropPrivateMessagesToSearchBox(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && message->message >= WM_USER && message->message < 0xC000 &&
        GatedPopup != nullptr && message->hwnd != nullptr) {
        HWND searchBox = ::GetDlgItem(GatedPopup, IDC_SEARCH_BOX);
        if (searchBox != nullptr &&
            (message->hwnd == searchBox || ::IsChild(searchBox, message->hwnd))) {
            message->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MainWindow::MainWindow() : taskbarCreatedMessage_(::RegisterWindowMessageA("TaskbarCreated")) {}

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

    HWND hwnd = Create({.className = kMainWindowClass,
                        .style = WS_CAPTION | WS_SYSMENU,
                        .exStyle = WS_EX_TOOLWINDOW,
                        .rect = {0, 0, 220, 0},
                        .instance = instance});
    if (hwnd == nullptr) {
        return false;
    }
    ::SetWindowTextA(hwnd, VP_TEXT_WINDOW_TITLE);
    return true;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<MainWindow, LRESULT>;
    static constexpr Map::Entry kMessages[] = {
        Map::Message(WM_CREATE,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         GatedPopup = self.Handle();
                         self.messageGate_.Reset(
                             ::SetWindowsHookExA(WH_GETMESSAGE, DropPrivateMessagesToSearchBox,
                                                 nullptr, ::GetCurrentThreadId()));
                         self.popup_.Attach(self.Handle());
                         self.capture_.Attach(self.Handle());
                         return 0;
                     }),
        Map::Message(WM_DESTROY,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         self.messageGate_.Reset();
                         GatedPopup = nullptr;
                         self.capture_.Detach();
                         ::PostQuitMessage(0);
                         return 0;
                     }),
        Map::Message(WM_ACTIVATE,
                     [](MainWindow& self, WPARAM state, LPARAM) -> LRESULT {
                         self.popup_.OnActivate(state);
                         return 0;
                     }),
        Map::Forward<&MainWindow::popup_, &PopupView::OnSetFocus>(WM_SETFOCUS),
        Map::Forward<&MainWindow::popup_, &PopupView::OnPaint>(WM_PAINT),
        // WM_PAINT fills the whole client area.
        Map::Message(WM_ERASEBKGND, [](MainWindow&, WPARAM, LPARAM) -> LRESULT { return 0; }),
        // The popup only hides; the program goes on.
        Map::Forward<&MainWindow::popup_, &PopupView::Hide>(WM_CLOSE),
        // Windows is ending the session: keep what Exit would have kept.
        Map::Message(WM_ENDSESSION,
                     [](MainWindow& self, WPARAM ending, LPARAM) -> LRESULT {
                         if (ending) {
                             self.StoreStateForNextRun();
                         }
                         return 0;
                     }),
        Map::Message(WM_COMMAND,
                     [](MainWindow& self, WPARAM command, LPARAM) -> LRESULT {
                         self.popup_.OnCommand(LOWORD(command));
                         return 0;
                     }),
        Map::Message(WM_TIMER,
                     [](MainWindow& self, WPARAM timer, LPARAM) -> LRESULT {
                         self.Deliver(self.capture_.OnTimer(timer));
                         return 0;
                     }),
        Map::Message(WM_DRAWCLIPBOARD,
                     [](MainWindow& self, WPARAM first, LPARAM second) -> LRESULT {
                         self.Deliver(self.capture_.OnDrawClipboard(first, second));
                         return 0;
                     }),
        Map::Message(WM_CHANGECBCHAIN,
                     [](MainWindow& self, WPARAM removed, LPARAM next) -> LRESULT {
                         self.capture_.OnChangeClipboardChain(removed, next);
                         return 0;
                     }),
        Map::Message(WM_HOTKEY,
                     [](MainWindow& self, WPARAM id, LPARAM) -> LRESULT {
                         if (id == HOTKEY_POPUP) {
                             ::SendMessageA(self.Handle(), WM_POPUP_TRIGGER, 0, 0);
                         } else if (id == HOTKEY_DEFAULT) {
                             ::SendMessageA(self.Handle(), WM_DEFAULT_TRIGGER, 0, 0);
                         }
                         return 0;
                     }),
        Map::Message(WM_TRAY_NOTIFY,
                     [](MainWindow& self, WPARAM anchor, LPARAM event) -> LRESULT {
                         const TrayRequest request = self.tray_.OnNotify(anchor, event);
                         if (request.action == TrayAction::ShowPopup) {
                             self.popup_.SetText("");
                             ::PostMessageA(self.Handle(), WM_SHOW_POPUP, 0, 0);
                         } else if (request.action == TrayAction::MenuAtCursor) {
                             self.RunTrayCommand(self.tray_.ChooseFromMenu(self.active_));
                         } else if (request.action == TrayAction::MenuAtIcon) {
                             self.RunTrayCommand(
                                 self.tray_.ChooseFromMenu(self.active_, request.anchor));
                         }
                         return 0;
                     }),
        Map::Message(WM_POPUP_TRIGGER,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         self.popup_.SetText("");
                         self.Deliver(self.capture_.Start(TriggerKind::Popup));
                         return 0;
                     }),
        Map::Message(WM_DEFAULT_TRIGGER,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         self.Deliver(self.capture_.Start(TriggerKind::DefaultSite));
                         return 0;
                     }),
        Map::Message(WM_DPICHANGED,
                     [](MainWindow& self, WPARAM dpi, LPARAM) -> LRESULT {
                         self.popup_.OnDpiChanged(LOWORD(dpi));
                         return 0;
                     }),
        Map::Message(hook::kHostReadyMessage,
                     [](MainWindow& self, WPARAM process, LPARAM thread) -> LRESULT {
                         // Wine ends a hook chain at a hook whose library a process
                         // cannot load (one of the other bitness): the program's own
                         // hook goes first again, so 64-bit applications keep their
                         // gestures whatever the order the hooks were installed in.
                         // Only the host that the program started says so.
                         if (self.hooked_ && self.hookHost32_.IsOwnHost(process, thread)) {
                             UnhookVPHook();
                             self.InstallHook();
                         }
                         return 0;
                     }),
        Map::Message(kHostStartedMessage,
                     [](MainWindow& self, WPARAM start, LPARAM) -> LRESULT {
                         self.hookHost32_.OnStarted(start);
                         return 0;
                     }),
        Map::Message(hook::kHostEndedMessage,
                     [](MainWindow& self, WPARAM process, LPARAM) -> LRESULT {
                         self.hookHost32_.OnEnded(process);
                         return 0;
                     }),
        Map::Forward<&MainWindow::popup_, &PopupView::ShowAtCursor>(WM_SHOW_POPUP),
        // High contrast, the apps' dark mode and the system's colours, while running; and
        // Group Policy says "Policy" after a refresh.
        Map::Message(WM_SETTINGCHANGE,
                     [](MainWindow& self, WPARAM, LPARAM area) -> LRESULT {
                         self.popup_.FollowTheme(false);
                         if (area != 0 &&
                             ::lstrcmpiA(reinterpret_cast<const char*>(area), "Policy") == 0 &&
                             !std::exchange(self.policiesChanged_, true)) {
                             ::PostMessageA(self.Handle(), WM_POLICIES_CHANGED, 0, 0);
                         }
                         return 0;
                     }),
        Map::Message(WM_SYSCOLORCHANGE,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         self.popup_.FollowTheme(true);
                         return 0;
                     }),
        Map::Message(WM_POLICIES_CHANGED,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         // Only after the program's own notice: a message from elsewhere
                         // changes nothing.
                         if (std::exchange(self.policiesChanged_, false)) {
                             self.ReloadConfiguration(true);
                         }
                         return 0;
                     }),
        Map::Message(WM_MANAGED_SITE_LIST_READ,
                     [](MainWindow& self, WPARAM, LPARAM) -> LRESULT {
                         if (TakeManagedSiteListArrival()) {
                             self.ReloadConfiguration();
                         }
                         return 0;
                     }),
    };
    // The task bar's restart message has a number known only at run time. The task bar
    // forgot the icon: without it the program could no longer be reached.
    if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
        tray_.Add(Handle());
        tray_.Update(active_);
        return 0;
    }
    return Dispatch(kMessages, message, wParam, lParam);
}

namespace {

// The hashes of the stored list. A list longer than the hook holds (the Options dialog
// refuses one; the registry may still be edited by hand) keeps its first names.
ProgramHashes GestureExclusionHashes(std::u16string_view stored) {
    if (auto hashes = HashProgramList(stored)) {
        return *hashes;
    }
    ProgramHashes first;
    for (const std::u16string& name : ParseProgramList(stored)) {
        if (first.count == kMaxGestureExclusions) {
            break;
        }
        first.hashes[static_cast<std::size_t>(first.count++)] =
            HashProgramName(name.data(), name.size());
    }
    return first;
}

}  // namespace

void MainWindow::InitializeApplication(Configuration configuration) {
    const bool started = RunReportingErrors([&] {
        LoadConfiguration(std::move(configuration), true);
        ReadActiveState(active_);
        popup_.CreateSearchBox(LoadSearchHistory(configuration_.InForce().KeepSearchHistory));
        stateLoaded_ = true;
        RebuildSiteLinks();
        tray_.Add(Handle());
        ShowSiteListProblem();
        // The hook library knows its gestures before the hook exists.
        ApplyTriggers();
        InstallHook();
        hookHost32_.Apply(Handle(), gestureExclusions_, active_ && hooked_);
        tray_.Update(active_);
    });
    if (!started) {
        ExitProgram();
    }
}

void MainWindow::InstallHook() {
    hooked_ = SetVPHook(Handle()) != nullptr;
    // The hot keys go on without the hook. Said once: the host's ready message installs
    // the hook again.
    if (!hooked_ && !std::exchange(hookNoticeShown_, true)) {
        tray_.ShowNotice(LoadResourceString(::GetLastError() == ERROR_INVALID_OWNER
                                                ? IDS_GESTURE_STATE_NOT_OWN
                                                : IDS_GESTURE_HOOK_FAILED));
    }
}

void MainWindow::LoadConfiguration(Configuration configuration, bool readManagedList) {
    configuration_ = std::move(configuration);
    const UserSettings& settings = configuration_.InForce();
    if (readManagedList) {
        // Before the site list is loaded: the organisation's list never holds up a load.
        ReadManagedSiteListInBackground(Handle(), WM_MANAGED_SITE_LIST_READ,
                                        configuration_.SiteList().managedPath);
    }
    if (!settings.KeepSearchHistory) {
        RemoveSearchHistory();
    }
    std::string problem;
    LoadSiteList(catalogue_, nullptr, configuration_.SiteList(), &problem);
    if (problem.empty() || problem != siteListProblem_.first) {
        siteListProblem_ = {problem, !problem.empty()};
    }
    VisibleSiteList visible = LoadVisibleSites(catalogue_, settings.VisibleSites);
    popup_.SetSites(std::move(visible),
                    ResolveDefaultSite(catalogue_, static_cast<SiteId>(settings.DefaultSite)));
    gestureExclusions_ = GestureExclusionHashes(settings.GestureExclusions);
    capture_.SetKeepClipboard(settings.RestoreClipboard);
    capture_.SetReadDirectly(settings.ReadSelectionDirectly);
    ApplyAutostartPolicy(configuration_);
}

void MainWindow::ShowSiteListProblem() {
    if (std::exchange(siteListProblem_.second, false)) {
        tray_.ShowNotice(LoadResourceString(IDS_MANAGED_SITE_LIST_NOT_READ) +
                         siteListProblem_.first);
    }
}

void MainWindow::ReloadConfiguration(bool readManagedList) {
    const bool reloaded = RunReportingErrors([&] {
        LoadConfiguration(ReadConfiguration(), readManagedList);
        ShowSiteListProblem();
        RebuildSiteLinks();
        ApplyTriggers();
    });
    if (!reloaded) {
        ExitProgram();
    }
}

void MainWindow::ApplyTriggers() {
    capture_.Apply(configuration_.InForce(), gestureExclusions_, active_);
    // While inactive, 32-bit applications are left without a hook at all.
    hookHost32_.Apply(Handle(), gestureExclusions_, active_ && hooked_);
}

void MainWindow::RebuildSiteLinks() {
    popup_.RebuildSiteLinks();
}

void MainWindow::ShowOptionsDialog() {
    if (HWND open = ::FindWindowA("#32770", LoadResourceString(IDS_OPTIONS_TITLE).c_str())) {
        // Asking for the foreground brings it in front of another program too.
        ::SetForegroundWindow(open);
        ::SetActiveWindow(open);
        return;
    }
    bool programEnded = false;
    const bool ran = RunReportingErrors([&] {
        // Read afresh for the pages: the start at logon may have been switched in Task
        // Manager since the last load, and OK must not store an older state over it.
        OptionsSheet sheet(ReadConfiguration(), [this] { ExitProgram(); });
        // Owned by no window: the owner of a modal dialog is disabled while it runs, and
        // the program's one top-level window is the popup, which must keep working.
        PopupKeysInModalLoop keys(Handle());
        sheet.Run(ProgramInstance(), nullptr);
        programEnded = sheet.ProgramEnded();
    });
    if (!ran) {
        ExitProgram();
        return;
    }
    if (programEnded || !::IsWindow(Handle())) {
        return;  // the program ended while the dialog was open
    }
    ReloadConfiguration();
}

void MainWindow::StoreStateForNextRun() {
    if (!stateLoaded_) {
        return;  // start-up failed before reading them: what is stored stays
    }
    try {
        WriteActiveState(active_);
    } catch (const _qh_error&) {
        // The program is ending; a setting that cannot be stored is not worth a message.
    }
    SaveSearchHistory(popup_.History(), configuration_.InForce().KeepSearchHistory);
}

void MainWindow::ExitProgram() {
    try {
        UnhookVPHook();
        hooked_ = false;
        hookHost32_.Stop();
        StoreStateForNextRun();
        tray_.Remove();
    } catch (...) {
        // Whatever failed, the window must still go and the message loop end.
    }
    ::DestroyWindow(Handle());
}

void MainWindow::SetActive(bool active) {
    active_ = active;
    ApplyTriggers();
    tray_.Update(active_);
}

void MainWindow::Deliver(const CapturedText& captured) {
    if (captured.popupText) {
        popup_.SetText(*captured.popupText);
    }
    if (captured.defaultSiteText) {
        popup_.OpenDefaultSiteSearch(*captured.defaultSiteText);
    }
    if (captured.showPopup) {
        ::PostMessageA(Handle(), WM_SHOW_POPUP, 0, 0);
    }
    if (captured.clipboardNotKept && !std::exchange(clipboardNoticeShown_, true)) {
        tray_.ShowNotice(LoadResourceString(IDS_CLIPBOARD_NOT_KEPT));
    }
}

void MainWindow::RunTrayCommand(UINT command) {
    switch (command) {
        case IDS_OPEN_POPUP:
            popup_.ShowWithText("");
            break;
        case IDS_ONLINE_HELP:
            // The guide beside the program, in a folder of any name.
            ::ShellExecuteW(nullptr, L"open", WidePointer(WideProgramFolder() + kUserGuideFileName),
                            nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case IDS_HOME_PAGE:
            OpenWithShell(kHomePageAddress);
            break;
        case IDS_SUPPORT:
            OpenWithShell(kSupportAddress);
            break;
        case IDS_OPTIONS:
            ShowOptionsDialog();
            break;
        case IDS_ACTIVATE:
            SetActive(true);
            break;
        case IDS_DEACTIVATE:
            SetActive(false);
            break;
        case IDS_ABOUT:
            if (!RunReportingErrors([this] {
                    PopupKeysInModalLoop keys(Handle());
                    ShowAboutBox();
                })) {
                ExitProgram();
            }
            break;
        case IDS_EXIT:
            ExitProgram();
            break;
        default:
            break;  // dismissed
    }
}

}  // namespace vp
