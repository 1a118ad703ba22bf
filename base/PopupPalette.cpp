#include "base/PopupPalette.h"

#include <algorithm>
#include <cmath>

namespace vp {
namespace {

constexpr Rgb kLightBackground{255, 250, 240};
constexpr Rgb kLightLinkText{0, 20, 140};
constexpr Rgb kLightHoverText{180, 80, 0};

// Relative luminance of an sRGB colour.
double Luminance(Rgb color) {
    auto linear = [](std::uint8_t channel) {
        const double value = channel / 255.0;
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.red) + 0.7152 * linear(color.green) + 0.0722 * linear(color.blue);
}

}  // namespace

PopupPalette PopupPaletteFor(PopupTheme theme, const SystemColors& system) {
    switch (theme) {
        case PopupTheme::Dark:
            return {.background = kDarkBackground,
                    .backgroundPicture = false,
                    .linkText = kDarkLinkText,
                    .hoverText = kDarkHoverText,
                    .underlineHover = false,
                    .focusText = kDarkFocusText,
                    .focusBackground = kDarkFocusBackground,
                    .searchText = kDarkLinkText,
                    .searchBackground = kDarkSearchBackground};
        case PopupTheme::HighContrast:
            // Nothing of the program's own: the user chose these colours to read by.
            return {.background = system.window,
                    .backgroundPicture = false,
                    .linkText = system.hotLight,
                    .hoverText = system.hotLight,
                    .underlineHover = true,
                    .focusText = system.highlightText,
                    .focusBackground = system.highlight,
                    .searchText = system.windowText,
                    .searchBackground = system.window};
        case PopupTheme::Light:
            break;
    }
    return {.background = kLightBackground,
            .backgroundPicture = true,
            .linkText = kLightLinkText,
            .hoverText = kLightHoverText,
            .underlineHover = false,
            .focusText = system.highlightText,
            .focusBackground = system.highlight,
            .searchText = kLightLinkText,
            .searchBackground = system.window};
}

double ContrastRatio(Rgb first, Rgb second) {
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace vp
