#include "core/SearchHistoryStore.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

// The value's name: the position in decimal digits (std::to_wstring would bring in the
// C library's whole wide formatter for this).
std::wstring WideName(std::size_t position) {
    const std::string digits = std::to_string(position);
    return std::wstring(digits.begin(), digits.end());
}

// How a stored position reads: missing, present but not text we can take, or its text.
enum class EntryState { Missing, Unreadable, Read };

// Reads a position with the wide functions, sizing the buffer from the value itself: a
// text saved as UTF-16 may need more bytes in the ANSI code page than it did when stored.
EntryState ReadEntry(HKEY key, std::size_t position, std::u16string& text) {
    const std::wstring name = WideName(position);
    for (int attempt = 0; attempt < 3; ++attempt) {  // the value may grow between the calls
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND) {
            return EntryState::Missing;
        }
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return EntryState::Unreadable;
        }
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result == ERROR_FILE_NOT_FOUND) {
            return EntryState::Missing;
        }
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return EntryState::Unreadable;
        }
        const wchar_t* begin = data.data();
        const wchar_t* end = std::find(begin, begin + size / sizeof(wchar_t), L'\0');
        text.assign(reinterpret_cast<const char16_t*>(begin),
                    static_cast<std::size_t>(end - begin));
        return EntryState::Read;
    }
    return EntryState::Unreadable;
}

LONG WriteEntry(HKEY key, std::size_t position, const SearchText& entry) {
    if (!entry.IsWide()) {
        return win::WriteString(key, std::to_string(position).c_str(), entry.ansi);
    }
    return ::RegSetValueExW(key, WideName(position).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(WidePointer(entry.wide)),
                            static_cast<DWORD>((entry.wide.size() + 1) * sizeof(wchar_t)));
}

// The first position, up to the stored count, that holds no value at all.
std::size_t FirstGap(HKEY key) {
    std::size_t position = 0;
    while (position < kStoredHistoryEntries &&
           ::RegQueryValueExW(key, WideName(position).c_str(), nullptr, nullptr, nullptr,
                              nullptr) != ERROR_FILE_NOT_FOUND) {
        ++position;
    }
    return position;
}

}  // namespace

void RemoveSearchHistory() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kHistoryKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kHistoryKey);
}

SearchHistoryList LoadSearchHistory(bool mayKeep) {
    SearchHistoryList history;
    if (!mayKeep) {
        return history;
    }
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ);
    if (!key) {
        return history;
    }
    for (std::size_t position = 0; position < kStoredHistoryEntries; ++position) {
        std::u16string text;
        // A value that is missing or not text ends the list; what follows it stays stored.
        if (ReadEntry(key.Get(), position, text) != EntryState::Read) {
            break;
        }
        if (std::optional<std::string> ansi = LosslessAnsi(text)) {
            history.emplace_back(std::move(*ansi));
        } else {
            history.push_back(SearchText::Wide(std::move(text)));
        }
    }
    return history;
}

void SaveSearchHistory(const SearchHistoryList& history, bool mayKeep) {
    if (!mayKeep) {
        return;
    }
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_ALL_ACCESS, &error);
    if (!key && error == ERROR_FILE_NOT_FOUND) {
        key = win::CreateKey(HKEY_CURRENT_USER, kHistoryKey);
    }
    if (!key) {
        return;
    }
    // Values after the first gap were never loaded and would come back at the next start
    // once the gap is filled. Those before it that the list does not reach (a value that
    // could not be read, and the older ones behind it) stay as they are.
    const std::size_t gap = FirstGap(key.Get());
    const std::size_t count = std::min(history.size(), kStoredHistoryEntries);
    for (std::size_t position = 0; position < count; ++position) {
        if (WriteEntry(key.Get(), position, history[position]) != ERROR_SUCCESS) {
            return;  // a failed write deletes nothing
        }
    }
    win::DeletePositionsFrom(key.Get(), std::max(count, gap));
}

}  // namespace vp
