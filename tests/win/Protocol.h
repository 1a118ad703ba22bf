// What the tests say to the program, and the names they look for, each
// written once. The program's messages and class names are spelled out here as a user
// of the program would see them; the asserts stop the build when the program changes
// one of them without the tests.
#pragma once

#include <windows.h>

#include <string_view>

#include "app/MainWindow.h"
#include "hook/Messages.h"
#include "popup/ColorStatic.h"
#include "resources/resource.h"
#include "tests/fixtures/FixtureMessages.h"

namespace vp::test {

// The program's own messages to its main window.
inline constexpr UINT kTrayNotify = WM_USER + 10;  // lParam: the mouse message on the icon
inline constexpr UINT kShowPopup = WM_USER + 13;   // the popup at the cursor
static_assert(kTrayNotify == WM_TRAY_NOTIFY && kShowPopup == WM_SHOW_POPUP);

// Window classes and titles.
inline constexpr char kMainWindowClassName[] = "QH_VantapickerHiddenWnd";
inline constexpr char kLinkClassName[] = "QH_ColorStaticWnd";
inline constexpr char kDialogClassName[] = "#32770";
inline constexpr char kMenuClassName[] = "#32768";
inline constexpr char kInstanceMutexName[] = "QH_VantapickerMutex";
inline constexpr char kMessageBoxTitle[] = "Vantapicker";
inline constexpr char kAboutTitle[] = "About Vantapicker";
inline constexpr char kOptionsTitle[] = "Vantapicker Options";
inline constexpr char kSitePropertiesTitle[] = "Site Properties";
static_assert(std::string_view(kMainWindowClassName) == kMainWindowClass);
static_assert(std::string_view(kLinkClassName) == kColorStaticClass);
static_assert(std::string_view(kAboutTitle) == VP_TEXT_ABOUT_TITLE);
static_assert(std::string_view(kOptionsTitle) == VP_TEXT_OPTIONS_TITLE);

}  // namespace vp::test
