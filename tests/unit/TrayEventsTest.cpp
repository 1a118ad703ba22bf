// The icon's keyboard events do what its mouse does, and the events that the shell adds
// after the mouse's own do nothing more.
#include "base/TrayEvents.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLeftButtonDown = 0x0201;

TEST(TrayEvents, KeyboardEventsDoWhatTheMouseDoesAndTheShellsAdditionsNothing) {
    const struct {
        unsigned event, previous;
        TrayAction action;
    } cases[] = {
        {kTrayLeftDoubleClick, kLeftButtonDown, TrayAction::ShowPopup},
        {kTrayKeySelect, 0, TrayAction::ShowPopup},
        {kTraySelect, kMouseMove, TrayAction::ShowPopup},
        {kTraySelect, kTrayLeftButtonUp, TrayAction::None},  // a left click's
        {kTrayRightButtonUp, 0, TrayAction::MenuAtCursor},
        {kTrayContextMenu, kMouseMove, TrayAction::MenuAtIcon},
        {kTrayContextMenu, kTrayRightButtonUp, TrayAction::None},  // a right click's
        {kLeftButtonDown, 0, TrayAction::None},                    // the mouse's other messages
        {kTrayLeftButtonUp, kLeftButtonDown, TrayAction::None},
        {kMouseMove, 0, TrayAction::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayActionFor(c.event, c.previous), c.action)
            << c.event << " after " << c.previous;
    }
}

}  // namespace
}  // namespace vp
