#include "core/Autostart.h"

#include <windows.h>

#include "win/Registry.h"

namespace vp {

std::string AutostartCommand() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return "\"" + std::string(path, length < sizeof path ? length : 0) + "\"";
}

bool IsAutostartSet() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_READ);
    // Whether the value exists, whatever its length: a quoted path may not fit the
    // 260 bytes of a path.
    return key && ::RegQueryValueExA(key.Get(), kAutostartValue, nullptr, nullptr, nullptr,
                                     nullptr) == ERROR_SUCCESS;
}

void WriteAutostart(bool checked) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_WRITE);
    if (!key) {
        return;
    }
    if (checked) {
        win::WriteString(key.Get(), kAutostartValue, AutostartCommand());
    } else {
        ::RegDeleteValueA(key.Get(), kAutostartValue);
    }
}

}  // namespace vp
