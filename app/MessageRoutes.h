// Entries of a window's message table (win/MessageTable.h) for handlers that answer 0:
// a handler of the window itself (`On`) or of one of its parts (`To`). A handler takes the
// message's parameters as they come, both, wParam alone or none; one that would take them
// converted (an int, a UINT) does not compile, its message needs its own handler.
#pragma once

#include <windows.h>

#include "win/MessageTable.h"

namespace vp {

template <typename Owner>
struct MessageRoutes {
    using Entry = win::MessageEntry<Owner, LRESULT>;

    template <auto Handler>
    static constexpr Entry On(UINT message) {
        return {message, win::kAnyId, win::kAnyCode,
                [](Owner& owner, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    Call(owner, Handler, wParam, lParam);
                    return 0;
                }};
    }

    template <auto Part, auto Handler>
    static constexpr Entry To(UINT message) {
        return {message, win::kAnyId, win::kAnyCode,
                [](Owner& owner, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    Call(owner.*Part, Handler, wParam, lParam);
                    return 0;
                }};
    }

private:
    template <typename Target>
    static void Call(Target& target, void (Target::*handler)(WPARAM, LPARAM), WPARAM wParam,
                     LPARAM lParam) {
        (target.*handler)(wParam, lParam);
    }
    template <typename Target>
    static void Call(Target& target, void (Target::*handler)(WPARAM), WPARAM wParam, LPARAM) {
        (target.*handler)(wParam);
    }
    template <typename Target>
    static void Call(Target& target, void (Target::*handler)(), WPARAM, LPARAM) {
        (target.*handler)();
    }
};

}  // namespace vp
