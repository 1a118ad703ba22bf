#include "base/PopupPlacement.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

constexpr ScreenRect kWorkArea{0, 0, 1280, 994};  // a task bar of 30 pixels at the bottom
constexpr int kWidth = 221;
constexpr int kHeight = 200;

TEST(PopupPlacement, OpensOnePixelUpAndLeftOfTheCursor) {
    ScreenPoint corner = PlacePopup({400, 300}, kWidth, kHeight, kWorkArea);
    EXPECT_EQ(corner.x, 399);
    EXPECT_EQ(corner.y, 299);
}

TEST(PopupPlacement, IsPushedInsideFromTheRightAndBottom) {
    ScreenPoint corner = PlacePopup({1270, 990}, kWidth, kHeight, kWorkArea);
    EXPECT_EQ(corner.x + kWidth, 1280);
    EXPECT_EQ(corner.y + kHeight, 994);
}

TEST(PopupPlacement, StaysInsideTheWorkAreaOfAnotherMonitor) {
    // A monitor to the left of the primary one, with a task bar on its left side.
    constexpr ScreenRect left{-1240, 0, -200, 1024};
    EXPECT_EQ(PlacePopup({-1240, 5}, kWidth, kHeight, left).x, -1240);
    EXPECT_EQ(PlacePopup({-1240, 0}, kWidth, kHeight, left).y, 0);
    EXPECT_EQ(PlacePopup({-210, 500}, kWidth, kHeight, left).x + kWidth, -200);
    // A monitor above the primary one.
    constexpr ScreenRect above{0, -1024, 1280, 0};
    EXPECT_EQ(PlacePopup({100, -1024}, kWidth, kHeight, above).y, -1024);
}

TEST(PopupPlacement, TallPopupKeepsItsTopInside) {
    ScreenPoint corner = PlacePopup({400, 300}, kWidth, 1500, kWorkArea);
    EXPECT_EQ(corner.y, 0);
    EXPECT_EQ(PopupContentHeight(0), 38);
    EXPECT_EQ(PopupContentHeight(7), 164);
}

TEST(PopupLayout, ScalesThe96DpiNumbersRoundingHalvesUp) {
    EXPECT_EQ(ScaleForDpi(219, 96), 219);
    EXPECT_EQ(ScaleForDpi(219, 144), 329);  // 328.5
    EXPECT_EQ(ScaleForDpi(5, 120), 6);      // 6.25
    EXPECT_EQ(ScaleForDpi(18, 120), 23);    // 22.5
    EXPECT_EQ(ScaleForDpi(210, 192), 420);

    // At 96 DPI the popup keeps its pixels: links (5, 32 + 18 i, 210, 48 + 18 i).
    const PopupLayout at96 = PopupLayoutForDpi(96, 13);
    EXPECT_EQ(at96.left, 5);
    EXPECT_EQ(at96.right, 210);
    EXPECT_EQ(at96.LinkTop(2), 68);
    EXPECT_EQ(at96.linkHeight, 16);
    EXPECT_EQ(at96.clientWidth, 219);
    EXPECT_EQ(at96.ContentHeight(7), 164);
    const PopupLayout at144 = PopupLayoutForDpi(144, 20);
    EXPECT_EQ(at144.LinkTop(1), 48 + 27);
    EXPECT_EQ(at144.ContentHeight(7), 246);
}

TEST(PopupLayout, LinksGrowForTextThatScalingWouldCut) {
    // A large font at 96 DPI: the link holds the text and a pixel above and below, and
    // the pitch keeps the 2-pixel gap.
    const PopupLayout layout = PopupLayoutForDpi(96, 20);
    EXPECT_EQ(layout.linkHeight, 22);
    EXPECT_EQ(layout.linkPitch, 24);
    EXPECT_EQ(layout.ContentHeight(2), 32 + 48 + 6);
}

}  // namespace
}  // namespace vp
