#include "app/MainWindow.h"

#include <utility>

#include "app/MessageRoutes.h"
#include "core/Configuration.h"
#include "core/SearchHistoryStore.h"
#include "hook/HookHost.h"
#include "hook/Messages.h"
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

}  // namespace

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
    using Route = MessageRoutes<MainWindow>;
    using Self = MainWindow;
    // Made at the first message, when the task bar's restart message gets its number.
    static const Route::Entry kMessages[] = {
        Route::On<&Self::OnCreate>(WM_CREATE),
        Route::On<&Self::OnDestroy>(WM_DESTROY),
        Route::To<&Self::popup_, &PopupView::OnActivate>(WM_ACTIVATE),
        Route::To<&Self::popup_, &PopupView::OnSetFocus>(WM_SETFOCUS),
        Route::To<&Self::popup_, &PopupView::OnPaint>(WM_PAINT),
        Route::On<&Self::OnEraseBackground>(WM_ERASEBKGND),
        Route::To<&Self::popup_, &PopupView::Hide>(WM_CLOSE),  // the program goes on
        Route::On<&Self::OnEndSession>(WM_ENDSESSION),
        Route::On<&Self::OnCommand>(WM_COMMAND),
        Route::To<&Self::delivery_, &TriggerDelivery::OnTimer>(WM_TIMER),
        Route::To<&Self::delivery_, &TriggerDelivery::OnDrawClipboard>(WM_DRAWCLIPBOARD),
        Route::To<&Self::capture_, &TriggerCapture::OnChangeClipboardChain>(WM_CHANGECBCHAIN),
        Route::To<&Self::delivery_, &TriggerDelivery::OnHotKey>(WM_HOTKEY),
        Route::To<&Self::trayMenu_, &TrayMenu::OnNotify>(WM_TRAY_NOTIFY),
        Route::To<&Self::trayMenu_, &TrayMenu::OnTaskbarCreated>(TrayMenu::TaskbarCreatedMessage()),
        Route::To<&Self::delivery_, &TriggerDelivery::OnPopupTrigger>(WM_POPUP_TRIGGER),
        Route::To<&Self::delivery_, &TriggerDelivery::OnDefaultTrigger>(WM_DEFAULT_TRIGGER),
        Route::On<&Self::OnDpiChanged>(WM_DPICHANGED),
        Route::To<&Self::hooks_, &GestureHooks::PutFirstAgain>(hook::kHostReadyMessage),
        Route::To<&Self::hooks_, &GestureHooks::OnHostStarted>(kHostStartedMessage),
        Route::To<&Self::hooks_, &GestureHooks::OnHostEnded>(hook::kHostEndedMessage),
        Route::To<&Self::popup_, &PopupView::ShowAtCursor>(WM_SHOW_POPUP),
        Route::On<&Self::OnSettingChange>(WM_SETTINGCHANGE),
        Route::On<&Self::OnSysColorChange>(WM_SYSCOLORCHANGE),
        Route::On<&Self::OnPoliciesChanged>(WM_POLICIES_CHANGED),
        Route::On<&Self::OnManagedSiteListRead>(WM_MANAGED_SITE_LIST_READ),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

void MainWindow::OnCreate() {
    searchBoxGate_.Install(Handle());
    popup_.Attach(Handle());
    delivery_.Attach(Handle());
}

void MainWindow::OnDestroy() {
    searchBoxGate_.Remove();
    capture_.Detach();
    ::PostQuitMessage(0);
}

// Windows is ending the session: keep what Exit would have kept.
void MainWindow::OnEndSession(WPARAM ending) {
    if (ending) {
        StoreStateForNextRun();
    }
}

void MainWindow::OnCommand(WPARAM command) {
    popup_.OnCommand(LOWORD(command));
}

void MainWindow::OnDpiChanged(WPARAM dpi) {
    popup_.OnDpiChanged(LOWORD(dpi));
}

// High contrast, the apps' dark mode and the system's colours, while running; and Group
// Policy says "Policy" after a refresh.
void MainWindow::OnSettingChange(WPARAM, LPARAM area) {
    popup_.FollowTheme(false);
    if (area != 0 && ::lstrcmpiA(reinterpret_cast<const char*>(area), "Policy") == 0 &&
        !std::exchange(policiesChanged_, true)) {
        ::PostMessageA(Handle(), WM_POLICIES_CHANGED, 0, 0);
    }
}

void MainWindow::OnSysColorChange() {
    popup_.FollowTheme(true);
}

void MainWindow::OnPoliciesChanged() {
    // Only after the program's own notice: a message from elsewhere changes nothing.
    if (std::exchange(policiesChanged_, false)) {
        ReloadConfiguration(true);
    }
}

void MainWindow::OnManagedSiteListRead() {
    if (TakeManagedSiteListArrival()) {
        ReloadConfiguration();
    }
}

template <typename Work>
bool MainWindow::RunOrExit(Work&& work) {
    if (RunReportingErrors(std::forward<Work>(work))) {
        return true;
    }
    ExitProgram();
    return false;
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
    RunOrExit([&] {
        LoadConfiguration(std::move(configuration), true);
        ReadActiveState(active_);
        popup_.CreateSearchBox(LoadSearchHistory(configuration_.InForce().KeepSearchHistory));
        stateLoaded_ = true;
        RebuildSiteLinks();
        tray_.Add(Handle());
        ShowSiteListProblem();
        // The hook library knows its gestures before the hook exists (GestureHooks).
        ApplyTriggers();
        hooks_.Install(Handle());
        hooks_.Apply(Handle(), gestureExclusions_, active_);
        tray_.Update(active_);
    });
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
    RunOrExit([&] {
        LoadConfiguration(ReadConfiguration(), readManagedList);
        ShowSiteListProblem();
        RebuildSiteLinks();
        ApplyTriggers();
    });
}

void MainWindow::ApplyTriggers() {
    capture_.Apply(configuration_.InForce(), gestureExclusions_, active_);
    hooks_.Apply(Handle(), gestureExclusions_, active_);
}

void MainWindow::RebuildSiteLinks() {
    popup_.RebuildSiteLinks();
}

void MainWindow::ShowOptionsDialog() {
    if (win::Dialog::BringToFront(shownOptions_)) {
        return;
    }
    bool programEnded = false;
    const bool ran = RunOrExit([&] {
        // Read afresh: Task Manager may have switched the start at logon since the last load.
        OptionsSheet sheet(ReadConfiguration(), [this] { ExitProgram(); });
        shownOptions_ = &sheet;
        const struct Forget {
            OptionsSheet*& shown;
            ~Forget() { shown = nullptr; }
        } forget{shownOptions_};
        // Owned by no window: the owner of a modal dialog is disabled while it runs, and
        // the program's one top-level window is the popup, which must keep working.
        PopupKeysInModalLoop keys(Handle());
        sheet.Run(ProgramInstance(), nullptr);
        programEnded = sheet.ProgramEnded();
    });
    // Unless the program ended while the dialog was open.
    if (ran && !programEnded && ::IsWindow(Handle())) {
        ReloadConfiguration();
    }
}

void MainWindow::ShowAbout() {
    RunOrExit([this] {
        PopupKeysInModalLoop keys(Handle());
        ShowAboutBox();
    });
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
        hooks_.Remove();
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

}  // namespace vp
