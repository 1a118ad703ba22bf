#include "win/Registry.h"

#include <string_view>
#include <vector>

namespace vp::win {

RegKey OpenKey(HKEY root, const char* path, REGSAM access, LONG* error) {
    RegKey key;
    LONG result = ::RegOpenKeyExA(root, path, 0, access, key.Receive());
    if (result != ERROR_SUCCESS) {
        key.Release();  // the output handle is undefined on failure
    }
    if (error != nullptr) {
        *error = result;
    }
    return key;
}

RegKey CreateKey(HKEY root, const char* path, LONG* error) {
    RegKey key;
    LONG result = ::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, key.Receive(), nullptr);
    if (result != ERROR_SUCCESS) {
        key.Release();
    }
    if (error != nullptr) {
        *error = result;
    }
    return key;
}

std::optional<std::uint32_t> ReadDword(HKEY key, const char* name) {
    if (key == nullptr) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

LONG WriteDword(HKEY key, const char* name, std::uint32_t value) {
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value);
}

LONG WriteString(HKEY key, const char* name, const std::string& value) {
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
}

void DeletePositionsFrom(HKEY key, std::size_t first) {
    // Names are collected first: deleting while enumerating would skip values.
    std::vector<std::string> doomed;
    for (DWORD index = 0;; ++index) {
        char name[32];
        DWORD length = sizeof name;
        const LONG result =
            ::RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue;  // a long name is no position
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        const std::string_view text(name, length);
        if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0') ||
            text.find_first_not_of("0123456789") != std::string_view::npos) {
            continue;
        }
        if (std::stoul(std::string(text)) >= first) {
            doomed.emplace_back(text);
        }
    }
    for (const std::string& name : doomed) {
        ::RegDeleteValueA(key, name.c_str());
    }
}

}  // namespace vp::win
