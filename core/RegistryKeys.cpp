#include "core/RegistryKeys.h"

#include "win/QhError.h"
#include "resources/resource.h"
#include "win/Registry.h"

namespace vp {

win::RegKey OpenSettingsForWriting() {
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_WRITE, &error);
    if (key) {
        return key;
    }
    if (error == ERROR_FILE_NOT_FOUND) {
        if (!win::CreateKey(HKEY_CURRENT_USER, kSettingsKey, &error)) {
            throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_CREATE_SETTINGS);
        }
        // Open once more rather than loop: a key that vanishes again is an open failure.
        key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_WRITE, &error);
        if (key) {
            return key;
        }
    }
    throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_OPEN_SETTINGS);
}

}  // namespace vp
