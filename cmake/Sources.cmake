# The one source list of the project, shared by every toolchain and by the host-tools
# build. Paths are relative to the repository root. Each layer is one library and
# includes only from the layers listed before it (tools/check-layers.cmake checks this):
#   base, win, resources (ids and texts, no sources of its own), core, hook, sites, popup,
#   options, app

# Portable code: no <windows.h>; built natively too, tested with the sanitizers.
set(VP_BASE_SOURCES
    base/AnsiText.cpp
    base/CaptureSession.cpp
    base/CommandLine.cpp
    base/Configuration.cpp
    base/Policies.cpp
    base/PopupPalette.cpp
    base/ProgramNames.cpp
    base/SearchHistory.cpp
    base/UiLanguage.cpp
    base/WideText.cpp
)
set(VP_SITES_PORTABLE_SOURCES
    sites/SearchUrl.cpp
    sites/SiteCatalogue.cpp
    sites/SiteListCipher.cpp
    sites/SiteListFormat.cpp
)
set(VP_PORTABLE_SOURCES ${VP_BASE_SOURCES} ${VP_SITES_PORTABLE_SOURCES})

# Windows layers of the main program, as libraries that tests link too.
set(VP_WIN_SOURCES
    win/Dialog.cpp
    win/Dpi.cpp
    win/ClipboardSnapshot.cpp
    win/ErrorBox.cpp
    win/Language.cpp
    win/QhError.cpp
    win/Registry.cpp
    win/ThreadWait.cpp
    win/Window.cpp
    win/WindowObject.cpp
    win/WinText.cpp
)
set(VP_CORE_SOURCES
    core/RegistryKeys.cpp
    core/Autostart.cpp
    core/Language.cpp
    core/Configuration.cpp
    core/SearchHistoryStore.cpp
    core/Settings.cpp
)
set(VP_SITES_WINDOWS_SOURCES
    sites/SearchLaunch.cpp
    sites/SelectionStore.cpp
    sites/SiteListExchange.cpp
    sites/SiteListFile.cpp
)
set(VP_POPUP_SOURCES
    popup/AboutBox.cpp
    popup/ColorStatic.cpp
    popup/LinkAccessible.cpp
    popup/PopupTheme.cpp
    popup/PopupView.cpp
    popup/SearchBox.cpp
)
set(VP_OPTIONS_SOURCES
    options/GeneralPage.cpp
    options/OptionsSheet.cpp
    options/SitePropertiesDialog.cpp
    options/SiteTree.cpp
    options/SitesPage.cpp
)
set(VP_APP_SOURCES
    app/GestureHooks.cpp
    app/HookHost32.cpp
    app/MainWindow.cpp
    app/Program.cpp
    app/Registration.cpp
    app/SelectionReader.cpp
    app/ThreadHooks.cpp
    app/TrayIcon.cpp
    app/TrayMenu.cpp
    app/TriggerCapture.cpp
    app/TriggerDelivery.cpp
)

# Thin entry point and resources of Vantapicker.exe.
set(VP_ENTRY_SOURCES app/Main.cpp resources/Vantapicker.rc)

# The site list tool.
set(VP_QHSL_SOURCES tools/qhsl/Qhsl.cpp)

# VPHook.dll, the gesture hook. Its decision (hook/GestureMatch.h) is header-only and
# portable; hook/Messages.h is the message protocol it shares with the program.
set(VP_HOOK_SOURCES hook/VPHook.cpp hook/VPHook.def hook/VPHook.rc)
# VPHookHost32.exe, which installs the 32-bit copy of the hook (VPHook32.dll) for the
# program; hook/HookHost.h is what the two say to each other.
set(VP_HOOK_HOST_SOURCES hook/HookHost32.cpp hook/HookHost32.rc)
