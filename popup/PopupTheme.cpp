#include "popup/PopupTheme.h"

#include "win/Registry.h"

namespace vp {
namespace {

constexpr char kPersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

Rgb SystemColor(int element) {
    const COLORREF color = ::GetSysColor(element);
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

bool HighContrastOn() {
    HIGHCONTRASTA highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

PopupPalette CurrentPopupPalette() {
    const win::RegKey personalize = win::OpenKey(HKEY_CURRENT_USER, kPersonalizeKey, KEY_READ);
    const PopupTheme theme =
        ChoosePopupTheme(HighContrastOn(), win::ReadDword(personalize.Get(), "AppsUseLightTheme"));
    return PopupPaletteFor(theme, {.window = SystemColor(COLOR_WINDOW),
                                   .windowText = SystemColor(COLOR_WINDOWTEXT),
                                   .hotLight = SystemColor(COLOR_HOTLIGHT),
                                   .highlight = SystemColor(COLOR_HIGHLIGHT),
                                   .highlightText = SystemColor(COLOR_HIGHLIGHTTEXT)});
}

}  // namespace vp
