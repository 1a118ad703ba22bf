// A search text as it travels from the selection to the browser: bytes of the system's
// ANSI code page when that code page holds the text without loss, UTF-16 otherwise. The
// ANSI form keeps the program's original single- and double-byte handling unchanged;
// the wide form carries what the code page cannot (other scripts, emoji).
#pragma once

#include <string>
#include <utility>

namespace vp {

struct SearchText {
    SearchText() = default;
    SearchText(std::string ansiText) : ansi(std::move(ansiText)) {}
    SearchText(const char* ansiText) : ansi(ansiText) {}
    static SearchText Wide(std::u16string text) {
        SearchText result;
        result.wide = std::move(text);
        return result;
    }

    bool IsWide() const { return !wide.empty(); }
    bool empty() const { return ansi.empty() && wide.empty(); }
    bool operator==(const SearchText&) const = default;

    std::string ansi;     // the text when it is not wide
    std::u16string wide;  // the text when the code page cannot hold it; empty otherwise
};

}  // namespace vp
