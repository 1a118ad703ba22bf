// The popup's colours in each theme: the light look it always had, a dark palette for
// the apps' dark mode, and the system's colours alone in high contrast.
#pragma once

#include <cstdint>
#include <optional>

namespace vp {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The system colours that a palette can take.
struct SystemColors {
    Rgb window;         // COLOR_WINDOW
    Rgb windowText;     // COLOR_WINDOWTEXT
    Rgb hotLight;       // COLOR_HOTLIGHT: hyperlinks
    Rgb highlight;      // COLOR_HIGHLIGHT: selection
    Rgb highlightText;  // COLOR_HIGHLIGHTTEXT
};

enum class PopupTheme { Light, Dark, HighContrast };

// High contrast goes before the apps' mode; the apps are dark only while
// AppsUseLightTheme holds 0 (missing: light, as before Windows had a dark mode).
constexpr PopupTheme ChoosePopupTheme(bool highContrast,
                                      std::optional<std::uint32_t> appsUseLightTheme) {
    if (highContrast) {
        return PopupTheme::HighContrast;
    }
    return appsUseLightTheme == 0u ? PopupTheme::Dark : PopupTheme::Light;
}

struct PopupPalette {
    Rgb background;
    bool backgroundPicture;  // a Background.bmp beside the program replaces the background
    Rgb linkText;
    Rgb hoverText;
    bool underlineHover;
    Rgb focusText;  // the focused link, on a band of focusBackground
    Rgb focusBackground;
    Rgb searchText;
    Rgb searchBackground;

    friend constexpr bool operator==(const PopupPalette&, const PopupPalette&) = default;
};

// The dark palette's own colours (tools/make_pictures.py reads these lines).
inline constexpr Rgb kDarkBackground{32, 32, 32};
inline constexpr Rgb kDarkLinkText{120, 190, 255};
inline constexpr Rgb kDarkHoverText{255, 180, 100};
inline constexpr Rgb kDarkFocusText{0, 0, 0};
inline constexpr Rgb kDarkFocusBackground{96, 205, 255};
inline constexpr Rgb kDarkSearchBackground{45, 45, 45};

PopupPalette PopupPaletteFor(PopupTheme theme, const SystemColors& system);

// WCAG 2 contrast ratio of two colours: 1 (the same) to 21 (black and white).
double ContrastRatio(Rgb first, Rgb second);

}  // namespace vp
