#include "core/SearchHistoryStore.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/RegistryKeys.h"
#include "win/Registry.h"

namespace vp {

SearchHistoryList LoadSearchHistory() {
    SearchHistoryList history;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ);
    if (!key) {
        return history;
    }
    for (std::size_t position = 0; position < kStoredHistoryEntries; ++position) {
        char data[260];
        DWORD size = sizeof data;
        if (::RegQueryValueExA(key.Get(), std::to_string(position).c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
            break;
        }
        const char* end = std::find(data, data + size, '\0');
        history.emplace_back(data, static_cast<std::size_t>(end - data));
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
    while (written < count && win::WriteString(key.Get(), std::to_string(written).c_str(),
                                               history[written]) == ERROR_SUCCESS) {
        ++written;
    }
    // Older positions beyond the new list, also those after a gap, would come back at the
    // next start once the gap is filled.
    win::DeletePositionsFrom(key.Get(), written);
}

}  // namespace vp
