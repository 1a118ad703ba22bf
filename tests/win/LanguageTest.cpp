// The program's dialogs in every language, created as the program creates them, and the
// language the process's locale, the user's value and the policy choose.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/Policies.h"
#include "base/UiLanguage.h"
#include "core/Configuration.h"
#include "core/Language.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "tests/win/RegistryFixture.h"
#include "win/Dialog.h"
#include "win/Language.h"
#include "win/WinText.h"

namespace vp {
namespace {

class PlainDialog final : public win::Dialog {};

// The static and button texts wider than their control, measured with the control's own
// font; a static that wraps may take its lines, but not more than its height.
std::string TextsThatDoNotFit(HWND dialog, int dpi) {
    std::string faults;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        char type[32] = {};
        ::GetClassNameA(control, type, sizeof type);
        const LONG style = ::GetWindowLongA(control, GWL_STYLE);
        const bool button = lstrcmpiA(type, "Button") == 0;
        const bool label = lstrcmpiA(type, "Static") == 0;
        const bool wraps = label && (style & SS_TYPEMASK) <= SS_RIGHT;
        wchar_t text[512] = {};
        if (!(button || wraps || (label && (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP)) ||
            ::GetWindowTextW(control, text, 512) == 0) {
            continue;
        }
        RECT client{};
        ::GetClientRect(control, &client);
        HDC dc = ::GetDC(control);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW font{};
        ::GetTextMetricsW(dc, &font);
        // A check box's or radio button's box, a group box's inset of about a character on
        // each side, a push button's frame.
        const LONG kind = style & BS_TYPEMASK;
        const bool box =
            (kind >= BS_CHECKBOX && kind <= BS_AUTO3STATE) || kind == BS_AUTORADIOBUTTON;
        const int room = client.right - (!button ? 0
                                         : box   ? 13 * dpi / 96 + font.tmAveCharWidth / 2
                                         : kind == BS_GROUPBOX ? 2 * font.tmAveCharWidth
                                                               : 6 * dpi / 96);
        RECT needed{0, 0, wraps ? room : 100000, 0};
        ::DrawTextW(dc, text, -1, &needed,
                    DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        if (needed.right > room || (wraps && needed.bottom > client.bottom)) {
            faults += " [control " + std::to_string(::GetDlgCtrlID(control)) + ": " +
                      std::to_string(needed.right) + "x" + std::to_string(needed.bottom) +
                      " needed, " + std::to_string(room) + "x" + std::to_string(client.bottom) +
                      " there]";
        }
    }
    return faults;
}

TEST(Translations, EveryDialogOfEveryLanguageShowsEachTextWhole) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
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
            EXPECT_EQ(TextsThatDoNotFit(box, dpi), "")
                << std::hex << language << std::dec << " dialog " << id;
            ::DestroyWindow(box);
        }
    }
    SetProgramLanguage(kEnglishLanguage);
    ::DestroyWindow(host);
}

// Run by tests/wine/language-test.sh under the process's locale (LANG), which gives the
// languages the program must choose (VP_EXPECTED_LANGUAGES, hexadecimal ids): with nothing
// stored, with the user's Language value "en", and with the policy "it-IT" beside it.
TEST(Translations, ChosenLanguageShowsInTheTrayMenuAndTheOptions) {
    const char* expected = std::getenv("VP_EXPECTED_LANGUAGES");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by language-test.sh";
    }
    const auto choose = [] { return ReadProgramLanguage(ReadConfiguration().LanguagePolicy()); };
    DeleteProgramKeys();
    const std::uint16_t chosen = choose();
    WriteTestWideString(kProgramKey, kLanguageValue, u"en");
    const std::uint16_t byValue = choose();
    WriteTestWideString(kPolicyKey, kLanguageValue, u"it-IT");
    const std::uint16_t byPolicy = choose();
    DeleteProgramKeys();
    char found[32];
    std::snprintf(found, sizeof found, "%04x %04x %04x", chosen, byValue, byPolicy);
    ASSERT_STREQ(found, expected);

    // The texts that the tray menu and the Options dialog show, as the program reads them.
    SetProgramLanguage(chosen);
    PlainDialog dialog;
    HWND options = dialog.CreateModeless(ProgramInstance(), IDD_OPTIONS, nullptr);
    char caption[128] = {};
    ::GetWindowTextA(options, caption, sizeof caption);
    ::DestroyWindow(options);
    const std::string tray = LoadResourceString(IDS_OPTIONS) + "|" + LoadResourceString(IDS_EXIT);
    SetProgramLanguage(kEnglishLanguage);
    const bool english = chosen == kEnglishLanguage;
    EXPECT_EQ(tray == LoadResourceString(IDS_OPTIONS) + "|" + LoadResourceString(IDS_EXIT),
              english);
    EXPECT_EQ(std::string(caption) == VP_TEXT_OPTIONS_TITLE, english) << caption;
    // The texts came through the code page whole: no character turned into '?'.
    EXPECT_EQ((tray + caption).find('?'), std::string::npos) << tray << caption;
    std::printf("language %04x: %s, %s\n", chosen, caption, tray.c_str());
}

}  // namespace
}  // namespace vp
