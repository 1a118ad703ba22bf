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

}  // namespace
}  // namespace vp
