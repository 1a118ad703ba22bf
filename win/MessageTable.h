// A class's message table: which messages, commands and notifications it handles and
// the handler of each. The first entry that matches a message handles it.
#pragma once

#include <windows.h>

#include <climits>
#include <cstddef>

namespace vp::win {

inline constexpr int kAnyId = INT_MIN;
inline constexpr UINT kAnyCode = UINT_MAX;

template <typename Owner, typename Result>
struct MessageEntry {
    using Handler = Result (*)(Owner&, WPARAM, LPARAM);

    UINT message;
    int id;     // WM_COMMAND, WM_NOTIFY: the control or command id; kAnyId otherwise
    UINT code;  // WM_COMMAND, WM_NOTIFY: the notification code; kAnyCode for any
    Handler handler;

    bool Matches(UINT msg, WPARAM wParam, LPARAM lParam) const {
        if (msg != message) {
            return false;
        }
        if (message == WM_COMMAND && id != kAnyId) {
            return LOWORD(wParam) == static_cast<WORD>(id) &&
                   (code == kAnyCode || HIWORD(wParam) == code);
        }
        if (message == WM_NOTIFY && id != kAnyId) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header != nullptr && header->idFrom == static_cast<UINT_PTR>(id) &&
                   (code == kAnyCode || header->code == code);
        }
        return true;
    }
};

// Makes the entries of Owner's table: `using Map = MessageMap<Owner, LRESULT>;` then
// `Map::Message<&Owner::OnPaint>(WM_PAINT)`, `Map::Command<&Owner::OnOk>(IDOK)`,
// `Map::Notify<&Owner::OnSelect>(IDC_TREE, TVN_SELCHANGEDA)`,
// `Map::Forward<&Owner::popup_, &PopupView::OnPaint>(WM_PAINT)`, or a message entry with
// a captureless lambda.
template <typename Owner, typename Result>
struct MessageMap {
    using Entry = MessageEntry<Owner, Result>;

    static constexpr Entry Message(UINT message, typename Entry::Handler handler) {
        return {message, kAnyId, kAnyCode, handler};
    }

    template <Result (Owner::*Member)(WPARAM, LPARAM)>
    static constexpr Entry Message(UINT message) {
        return {message, kAnyId, kAnyCode,
                [](Owner& owner, WPARAM wParam, LPARAM lParam) -> Result {
                    return (owner.*Member)(wParam, lParam);
                }};
    }

    // A handler that needs neither parameter.
    template <Result (Owner::*Member)()>
    static constexpr Entry Message(UINT message) {
        return {message, kAnyId, kAnyCode,
                [](Owner& owner, WPARAM, LPARAM) -> Result { return (owner.*Member)(); }};
    }

    // A message that a member object (`Part`, for example a class the window is made of)
    // handles with a handler taking nothing; the answer is 0.
    template <auto Part, auto Handler>
    static constexpr Entry Forward(UINT message) {
        return {message, kAnyId, kAnyCode, [](Owner& owner, WPARAM, LPARAM) -> Result {
                    ((owner.*Part).*Handler)();
                    return 0;
                }};
    }

    // WM_COMMAND from control or command `id`, with notification `code` or any.
    template <void (Owner::*Member)()>
    static constexpr Entry Command(int id, UINT code = kAnyCode) {
        return {WM_COMMAND, id, code, [](Owner& owner, WPARAM, LPARAM) -> Result {
                    (owner.*Member)();
                    return 0;
                }};
    }

    // The same, run by `Run(owner, Member)`: a class's own way of running its commands
    // (for example, one that reports or drops their errors).
    using Member = void (Owner::*)();
    template <Member M, void (*Run)(Owner&, Member)>
    static constexpr Entry Command(int id, UINT code = kAnyCode) {
        return {WM_COMMAND, id, code, [](Owner& owner, WPARAM, LPARAM) -> Result {
                    Run(owner, M);
                    return 0;
                }};
    }

    // WM_NOTIFY from control `id` with notification `code`.
    template <Result (Owner::*Member)(const NMHDR&)>
    static constexpr Entry Notify(int id, UINT code) {
        return {WM_NOTIFY, id, code, [](Owner& owner, WPARAM, LPARAM lParam) -> Result {
                    return (owner.*Member)(*reinterpret_cast<const NMHDR*>(lParam));
                }};
    }
};

// Calls the handler of the first entry that matches; false when none does.
template <typename Owner, typename Result, std::size_t N>
bool RouteMessage(Owner& owner, const MessageEntry<Owner, Result> (&table)[N], UINT message,
                  WPARAM wParam, LPARAM lParam, Result& result) {
    for (const auto& entry : table) {
        if (entry.Matches(message, wParam, lParam)) {
            result = entry.handler(owner, wParam, lParam);
            return true;
        }
    }
    return false;
}

}  // namespace vp::win
