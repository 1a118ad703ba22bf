// The program's dialogs in every language, created as the program creates them, and the
// language the process's locale, the user's value and the policy choose.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/UiLanguage.h"
#include "core/Configuration.h"
#include "core/Language.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "win/Dialog.h"
#include "win/Language.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

class PlainDialog final : public win::Dialog {};

// What a control's text needs beside the text itself: the box of a check box or radio
// button, a button's frame, a group box's inset (about a character on each side).
int TextRoom(HWND control, const TEXTMETRICW& metrics, UINT dpi) {
    RECT client{};
    ::GetClientRect(control, &client);
    char type[32] = {};
    ::GetClassNameA(control, type, sizeof type);
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(type, "Button") != 0) {
        return client.right;
    }
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return client.right - static_cast<int>(13 * dpi / 96) - metrics.tmAveCharWidth / 2;
        case BS_GROUPBOX:
            return client.right - 2 * metrics.tmAveCharWidth;
        default:
            return client.right - static_cast<int>(6 * dpi / 96);
    }
}

// The controls whose text does not fit, with the widths.
std::string TextsThatDoNotFit(HWND dialog) {
    std::string faults;
    HDC screen = ::GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        wchar_t text[512] = {};
        char type[32] = {};
        ::GetClassNameA(control, type, sizeof type);
        const LONG style = ::GetWindowLongA(control, GWL_STYLE);
        const bool isStatic = lstrcmpiA(type, "Static") == 0;
        if (::GetWindowTextW(control, text, 512) == 0 ||
            (lstrcmpiA(type, "Button") != 0 && !isStatic) ||
            (isStatic && (style & SS_TYPEMASK) > SS_RIGHT &&
             (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP)) {
            continue;
        }
        HDC dc = ::GetDC(control);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        RECT client{};
        ::GetClientRect(control, &client);
        const int room = TextRoom(control, metrics, dpi);
        // Statics that wrap may take their lines; every other text takes one line.
        const bool wraps = isStatic && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
        RECT needed{0, 0, wraps ? room : 100000, 0};
        ::DrawTextW(dc, text, -1, &needed,
                    DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        if (needed.right > room || (wraps && needed.bottom > client.bottom)) {
            char line[160];
            std::snprintf(line, sizeof line, " [control %d: %ldx%ld needed, %dx%ld there]",
                          ::GetDlgCtrlID(control), needed.right, needed.bottom, room,
                          client.bottom);
            faults += line;
        }
    }
    return faults;
}

TEST(Translations, EveryDialogOfEveryLanguageShowsEachTextWhole) {
    HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    for (std::uint16_t language : ProgramLanguages()) {
        SetProgramLanguage(language);
        for (int id :
             {IDD_OPTIONS, IDD_GENERAL_PAGE, IDD_SITES_PAGE, IDD_ABOUT, IDD_SITE_PROPERTIES}) {
            PlainDialog dialog;
            const bool page = id == IDD_GENERAL_PAGE || id == IDD_SITES_PAGE;
            HWND box = dialog.CreateModeless(ProgramInstance(), id, page ? host : nullptr);
            ASSERT_NE(box, nullptr) << std::hex << language << std::dec << " dialog " << id;
            EXPECT_EQ(TextsThatDoNotFit(box), "")
                << std::hex << language << std::dec << " dialog " << id;
            ::DestroyWindow(box);
        }
    }
    SetProgramLanguage(kEnglishLanguage);
    ::DestroyWindow(host);
}

// Run by tests/wine/language-test.sh with the process's locale (LANG) and the language
// the program must choose (VP_EXPECTED_LANGUAGE, a hexadecimal id); VP_LANGUAGE_VALUE
// and VP_LANGUAGE_POLICY, when set, are stored as the user's value and the policy first.
TEST(Translations, ChosenLanguageShowsInTheTrayMenuAndTheOptions) {
    const char* expected = std::getenv("VP_EXPECTED_LANGUAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by language-test.sh";
    }
    const auto store = [](HKEY root, const char* path, const char* variable) {
        win::RegKey key = win::CreateKey(root, path);
        const char* value = std::getenv(variable);
        if (value != nullptr) {
            win::WriteString(key.Get(), kLanguageValue, value);
        } else {
            ::RegDeleteValueA(key.Get(), kLanguageValue);
        }
    };
    store(HKEY_CURRENT_USER, kProgramKey, "VP_LANGUAGE_VALUE");
    store(HKEY_CURRENT_USER, "SOFTWARE\\Policies\\Quenhollow\\Vantapicker", "VP_LANGUAGE_POLICY");
    const std::uint16_t chosen = ReadProgramLanguage(ReadConfiguration().LanguagePolicy());
    store(HKEY_CURRENT_USER, kProgramKey, "VP_NO_SUCH_VARIABLE");
    store(HKEY_CURRENT_USER, "SOFTWARE\\Policies\\Quenhollow\\Vantapicker", "VP_NO_SUCH_VARIABLE");
    ASSERT_EQ(chosen, std::strtoul(expected, nullptr, 16));

    SetProgramLanguage(chosen);
    // The texts that the tray menu and the Options dialog show, as the program reads them.
    PlainDialog dialog;
    HWND options = dialog.CreateModeless(ProgramInstance(), IDD_OPTIONS, nullptr);
    char caption[128] = {};
    ::GetWindowTextA(options, caption, sizeof caption);
    ::DestroyWindow(options);
    const std::string tray = LoadResourceString(IDS_OPTIONS) + "|" + LoadResourceString(IDS_EXIT);
    SetProgramLanguage(kEnglishLanguage);
    const std::string english =
        LoadResourceString(IDS_OPTIONS) + "|" + LoadResourceString(IDS_EXIT);
    if (chosen == kEnglishLanguage) {
        EXPECT_EQ(tray, english);
        EXPECT_STREQ(caption, VP_TEXT_OPTIONS_TITLE);
    } else {
        EXPECT_NE(tray, english);
        EXPECT_STRNE(caption, VP_TEXT_OPTIONS_TITLE);
        // The texts came through the code page whole: no character turned into '?'.
        EXPECT_EQ(tray.find('?'), std::string::npos) << tray;
        EXPECT_EQ(std::string(caption).find('?'), std::string::npos) << caption;
    }
    std::printf("language %04x: %s, %s\n", chosen, caption, tray.c_str());
}

}  // namespace
}  // namespace vp
