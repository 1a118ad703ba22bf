// The icon's keyboard events do what its mouse does, and the events that the shell adds
// after the mouse's own do nothing more.
#include "base/TrayEvents.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLeftButtonDown = 0x0201;
constexpr unsigned kRightButtonDown = 0x0204;

TEST(TrayEvents, KeyboardSelectAndContextMenuKeyDoWhatTheMouseDoes) {
    EXPECT_EQ(TrayActionFor(kTrayLeftDoubleClick, kLeftButtonDown), TrayAction::ShowPopup);
    EXPECT_EQ(TrayActionFor(kTrayKeySelect, 0), TrayAction::ShowPopup);
    EXPECT_EQ(TrayActionFor(kTraySelect, kMouseMove), TrayAction::ShowPopup);
    EXPECT_EQ(TrayActionFor(kTraySelect, kTrayKeySelect), TrayAction::ShowPopup);
    EXPECT_EQ(TrayActionFor(kTrayRightButtonUp, kRightButtonDown), TrayAction::MenuAtCursor);
    EXPECT_EQ(TrayActionFor(kTrayContextMenu, 0), TrayAction::MenuAtIcon);
    EXPECT_EQ(TrayActionFor(kTrayContextMenu, kMouseMove), TrayAction::MenuAtIcon);
}

TEST(TrayEvents, WhatTheShellAddsToAClickIsNotActedOnAgain) {
    // A left click: down, up, select. Opening the popup on it would change the mouse.
    EXPECT_EQ(TrayActionFor(kLeftButtonDown, kMouseMove), TrayAction::None);
    EXPECT_EQ(TrayActionFor(kTrayLeftButtonUp, kLeftButtonDown), TrayAction::None);
    EXPECT_EQ(TrayActionFor(kTraySelect, kTrayLeftButtonUp), TrayAction::None);
    // A right click: the menu at the release, not a second one for the context menu.
    EXPECT_EQ(TrayActionFor(kRightButtonDown, kMouseMove), TrayAction::None);
    EXPECT_EQ(TrayActionFor(kTrayContextMenu, kTrayRightButtonUp), TrayAction::None);
    // The keyboard's select right after a click is still the keyboard's.
    EXPECT_EQ(TrayActionFor(kTrayKeySelect, kTrayLeftButtonUp), TrayAction::ShowPopup);
    EXPECT_EQ(TrayActionFor(kMouseMove, 0), TrayAction::None);
}

}  // namespace
}  // namespace vp
