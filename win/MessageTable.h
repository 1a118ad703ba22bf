// A class's message table: which messages it handles and the member that handles each.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vp::win {

template <typename Owner, typename Result>
struct MessageEntry {
    UINT message;
    Result (Owner::*handler)(WPARAM, LPARAM);
};

// Calls the handler of `message` when the table lists it.
template <typename Owner, typename Result, std::size_t N>
bool RouteMessage(Owner* owner, const MessageEntry<Owner, Result> (&table)[N], UINT message,
                  WPARAM wParam, LPARAM lParam, Result& result) {
    for (const auto& entry : table) {
        if (entry.message == message) {
            result = (owner->*entry.handler)(wParam, lParam);
            return true;
        }
    }
    return false;
}

}  // namespace vp::win
