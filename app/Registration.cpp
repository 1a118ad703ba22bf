#include "app/Registration.h"

#include <oleauto.h>

#include <string>

#include "win/Handle.h"
#include "win/SystemFunction.h"

namespace vp {
namespace {

constexpr char kExeAppIdKey[] = "AppID\\Vantapicker.EXE";
constexpr char kProductName[] = "Vantapicker";

// Returns the result as an HRESULT, so that setup learns of a key it could not write.
HRESULT WriteClassesString(const char* keyPath, const char* valueName, const char* data) {
    win::RegKey key;
    LONG status = ::RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_WRITE, nullptr, key.Receive(), nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            ::RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                             static_cast<DWORD>(std::char_traits<char>::length(data) + 1));
    }
    return HRESULT_FROM_WIN32(status);
}

// A key that is not there counts as removed.
HRESULT DeleteClassesKey(const char* keyPath) {
    LONG status = ::RegDeleteKeyA(HKEY_CLASSES_ROOT, keyPath);
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

std::wstring ExecutablePath() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

// oleaut32 is loaded only to register or unregister, not at every start.
template <typename Function>
Function TypeLibraryFunction(const char* name) {
    return win::SystemFunction<Function>("oleaut32.dll", name);
}
constexpr HRESULT kNoTypeLibraryFunction = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// The type library resource of the running executable.
HRESULT LoadOwnTypeLibrary(ITypeLib** library) {
    using LoadFunction = HRESULT(WINAPI*)(LPCOLESTR, REGKIND, ITypeLib**);
    const auto load = TypeLibraryFunction<LoadFunction>("LoadTypeLibEx");
    return load != nullptr ? load(ExecutablePath().c_str(), REGKIND_NONE, library)
                           : kNoTypeLibraryFunction;
}

}  // namespace

static std::string AppIdKey() {
    return std::string("AppID\\") + kAppIdText;
}

HRESULT RegisterServer() {
    HRESULT result = WriteClassesString(AppIdKey().c_str(), nullptr, kProductName);
    if (SUCCEEDED(result)) {
        result = WriteClassesString(kExeAppIdKey, "AppID", kAppIdText);
    }
    if (FAILED(result)) {
        return result;
    }

    ITypeLib* library = nullptr;
    result = LoadOwnTypeLibrary(&library);
    if (SUCCEEDED(result)) {
        std::wstring path = ExecutablePath();
        using RegisterFunction = HRESULT(WINAPI*)(ITypeLib*, LPCOLESTR, LPCOLESTR);
        const auto registerLibrary = TypeLibraryFunction<RegisterFunction>("RegisterTypeLib");
        result = registerLibrary != nullptr ? registerLibrary(library, path.data(), nullptr)
                                            : kNoTypeLibraryFunction;
        library->Release();
    }
    return result;
}

HRESULT UnregisterServer() {
    HRESULT keys = DeleteClassesKey(AppIdKey().c_str());
    HRESULT exeKey = DeleteClassesKey(kExeAppIdKey);
    if (SUCCEEDED(keys)) {
        keys = exeKey;
    }

    // Unregister the version and locale that the library itself declares.
    ITypeLib* library = nullptr;
    HRESULT result = LoadOwnTypeLibrary(&library);
    if (FAILED(result)) {
        return result;
    }
    TLIBATTR* attributes = nullptr;
    result = library->GetLibAttr(&attributes);
    if (SUCCEEDED(result)) {
        using UnregisterFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
        const auto unregister = TypeLibraryFunction<UnregisterFunction>("UnRegisterTypeLib");
        result = unregister != nullptr
                     ? unregister(attributes->guid, attributes->wMajorVerNum,
                                  attributes->wMinorVerNum, attributes->lcid, attributes->syskind)
                     : kNoTypeLibraryFunction;
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return FAILED(keys) ? keys : result;
}

}  // namespace vp
