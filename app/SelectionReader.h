// Reading the selected text of the foreground application without going through the
// clipboard: the focused control is asked for its selection with its own messages. Each
// way of asking is one road; a control that no road serves is left to the synthesized
// copy. Today's road: edit and rich edit controls (EM_GETSEL, WM_GETTEXT).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/SearchText.h"

namespace vp {

class SelectionReader {
public:
    // All the messages of one read together wait at most this long for the application.
    static constexpr DWORD kBudgetMs = 80;
    // A control with more text than this (UTF-16 bytes) is not read; nor one whose
    // positions do not fit the 16 bits in which EM_GETSEL answers another process.
    static constexpr std::size_t kMaxTextBytes = 1024 * 1024;

    // The selection of the focused control of the foreground window as the search text
    // that a copy of it would give; nothing when it cannot be read this way: another kind
    // of control, a password field, an empty selection, too much text, or an application
    // that does not answer within the budget.
    std::optional<SearchText> Read() const;

    // The selection of `control` itself (which need not be focused), as UTF-16.
    static std::optional<std::u16string> ReadEditSelection(HWND control,
                                                           DWORD budgetMs = kBudgetMs);
};

// The search text that a selection becomes, as for a copied one: the ANSI code page's
// text when it holds the selection without loss, cut to 255 bytes, otherwise the UTF-16
// text cut to 255 units; trailing blanks removed either way.
SearchText SearchTextOfSelection(std::u16string_view selection);

}  // namespace vp
