#include "core/Autostart.h"

#include <windows.h>

#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {

namespace {

bool IsSwitchedOff() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kStartupApprovedKey, KEY_READ);
    BYTE mark[16] = {};
    DWORD size = sizeof mark;
    DWORD type = REG_NONE;
    return key &&
           ::RegQueryValueExA(key.Get(), kAutostartValue, nullptr, &type, mark, &size) ==
               ERROR_SUCCESS &&
           type == REG_BINARY && size > 0 && (mark[0] & 1) != 0;
}

}  // namespace

std::u16string AutostartCommand() {
    return u"\"" + WideProgramPath() + u"\"";
}

bool IsAutostartSet() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_READ);
    // Whether the value exists, whatever its length: a quoted path may not fit the
    // 260 bytes of a path.
    return key &&
           ::RegQueryValueExA(key.Get(), kAutostartValue, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           !IsSwitchedOff();
}

void WriteAutostart(bool checked) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_WRITE);
    if (!key) {
        return;
    }
    if (checked) {
        win::WriteWideString(key.Get(), kAutostartValue, AutostartCommand());
    } else {
        ::RegDeleteValueA(key.Get(), kAutostartValue);
    }
    win::RegKey approved = win::OpenKey(HKEY_CURRENT_USER, kStartupApprovedKey, KEY_SET_VALUE);
    if (approved) {
        ::RegDeleteValueA(approved.Get(), kAutostartValue);
    }
}

}  // namespace vp
