// Entries of a window's message table (win/MessageTable.h) for handlers that answer 0:
// a handler of the window itself (`On`) or of one of its parts (`To`), given the message's
// parameters as it takes them: both, wParam alone, or none.
#pragma once

#include <windows.h>

#include <type_traits>

#include "win/MessageTable.h"

namespace vp {

template <typename Owner>
struct MessageRoutes {
    using Entry = win::MessageEntry<Owner, LRESULT>;

    template <auto Handler>
    static constexpr Entry On(UINT message) {
        return {message, win::kAnyId, win::kAnyCode,
                [](Owner& owner, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    Call<Handler>(owner, wParam, lParam);
                    return 0;
                }};
    }

    template <auto Part, auto Handler>
    static constexpr Entry To(UINT message) {
        return {message, win::kAnyId, win::kAnyCode,
                [](Owner& owner, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    Call<Handler>(owner.*Part, wParam, lParam);
                    return 0;
                }};
    }

private:
    template <auto Handler, typename Target>
    static void Call(Target& target, WPARAM wParam, LPARAM lParam) {
        using H = decltype(Handler);
        if constexpr (std::is_invocable_v<H, Target&, WPARAM, LPARAM>) {
            (target.*Handler)(wParam, lParam);
        } else if constexpr (std::is_invocable_v<H, Target&, WPARAM>) {
            (target.*Handler)(wParam);
        } else {
            (target.*Handler)();
        }
    }
};

}  // namespace vp
