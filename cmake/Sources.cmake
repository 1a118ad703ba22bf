# The one source list of the project, shared by every toolchain and by the host-tools
# build. Paths are relative to the repository root.

# Portable code: no <windows.h>; built natively too, tested with the sanitizers.
set(VP_PORTABLE_SOURCES
    app/AnsiText.cpp
    app/CommandLine.cpp
    popup/SearchHistory.cpp
    sites/SearchUrl.cpp
    sites/SiteCatalogue.cpp
    sites/SiteListCipher.cpp
    sites/SiteListFormat.cpp
)

# The main program's Windows code, as a library that tests link too.
set(VP_APP_SOURCES
    app/ErrorBox.cpp
    app/MainWindow.cpp
    app/Program.cpp
    app/QhError.cpp
    app/Registration.cpp
    app/RegistryKeys.cpp
    app/Search.cpp
    app/Settings.cpp
    app/Tray.cpp
    app/Triggers.cpp
    app/WinText.cpp
    popup/AboutBox.cpp
    popup/ColorStatic.cpp
    popup/Popup.cpp
    popup/SearchBox.cpp
    sites/SelectionStore.cpp
    sites/SiteListFile.cpp
    win/Dialog.cpp
    win/Registry.cpp
    win/Window.cpp
)

# Thin entry point and resources of Vantapicker.exe.
set(VP_ENTRY_SOURCES app/Main.cpp resources/Vantapicker.rc)

# The site list tool.
set(VP_QHSL_SOURCES tools/qhsl/Qhsl.cpp)

# VPHook.dll, the gesture hook. Its decision (hook/GestureMatch.h) is header-only and
# portable.
set(VP_HOOK_SOURCES hook/VPHook.cpp hook/VPHook.def)
