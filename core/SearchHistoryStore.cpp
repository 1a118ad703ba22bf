#include "core/SearchHistoryStore.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/RegistryKeys.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

// A stored text that the ANSI code page cannot hold, read with the wide functions;
// nothing for every other value, which is read as ANSI.
std::optional<std::u16string> ReadWideEntry(HKEY key, const std::string& name) {
    wchar_t data[260];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    const std::wstring wideName(name.begin(), name.end());
    if (::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    const std::size_t units = size / sizeof(wchar_t);
    std::u16string text(reinterpret_cast<const char16_t*>(data), units);
    text.erase(std::min(text.find(u'\0'), text.size()));
    if (text.empty() || LosslessAnsi(text)) {
        return std::nullopt;
    }
    return text;
}

LONG WriteEntry(HKEY key, const std::string& name, const SearchText& entry) {
    if (!entry.IsWide()) {
        return win::WriteString(key, name.c_str(), entry.ansi);
    }
    const std::wstring wideName(name.begin(), name.end());
    return ::RegSetValueExW(key, wideName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(WidePointer(entry.wide)),
                            static_cast<DWORD>((entry.wide.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

SearchHistoryList LoadSearchHistory() {
    SearchHistoryList history;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ);
    if (!key) {
        return history;
    }
    for (std::size_t position = 0; position < kStoredHistoryEntries; ++position) {
        const std::string name = std::to_string(position);
        if (auto wide = ReadWideEntry(key.Get(), name)) {
            history.push_back(SearchText::Wide(std::move(*wide)));
            continue;
        }
        char data[260];
        DWORD size = sizeof data;
        if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
            break;
        }
        const char* end = std::find(data, data + size, '\0');
        history.emplace_back(std::string(data, static_cast<std::size_t>(end - data)));
    }
    return history;
}

void SaveSearchHistory(const SearchHistoryList& history) {
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_ALL_ACCESS, &error);
    if (!key && error == ERROR_FILE_NOT_FOUND) {
        key = win::CreateKey(HKEY_CURRENT_USER, kHistoryKey);
    }
    if (!key) {
        return;
    }
    std::size_t count = std::min(history.size(), kStoredHistoryEntries);
    std::size_t written = 0;
    while (written < count &&
           WriteEntry(key.Get(), std::to_string(written), history[written]) == ERROR_SUCCESS) {
        ++written;
    }
    // Older positions beyond the new list, also those after a gap, would come back at the
    // next start once the gap is filled.
    win::DeletePositionsFrom(key.Get(), written);
}

}  // namespace vp
