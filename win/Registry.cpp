#include "win/Registry.h"

#include <algorithm>
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

namespace {
std::wstring WideName(const char* name) {
    std::wstring wide;
    for (; *name != '\0'; ++name) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*name));  // ASCII names
    }
    return wide;
}
}  // namespace

std::optional<std::u16string> ReadWideString(HKEY key, const char* name) {
    if (key == nullptr) {
        return std::nullopt;
    }
    const std::wstring wideName = WideName(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::u16string value(size / sizeof(char16_t) + 1, u'\0');
    size = static_cast<DWORD>(value.size() * sizeof(char16_t));
    if (::RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;  // changed between the two reads
    }
    // The stored zero, if any, and anything after it are not part of the text.
    value.resize(std::min<std::size_t>(size / sizeof(char16_t), value.size()));
    if (const auto zero = value.find(u'\0'); zero != std::u16string::npos) {
        value.resize(zero);
    }
    return value;
}

LONG WriteWideString(HKEY key, const char* name, std::u16string_view value) {
    const std::u16string data(value);
    return ::RegSetValueExW(key, WideName(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(char16_t)));
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
