#include "win/Registry.h"

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

}  // namespace vp::win
