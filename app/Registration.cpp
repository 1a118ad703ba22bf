#include "app/Registration.h"

#include <oleauto.h>

#include <string>

#include "win/Handle.h"

namespace vp {
namespace {

constexpr char kExeAppIdKey[] = "AppID\\Vantapicker.EXE";
constexpr char kProductName[] = "Vantapicker";

void WriteClassesString(const char* keyPath, const char* valueName, const char* data) {
    win::RegKey key;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE, nullptr, key.Receive(), nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                         static_cast<DWORD>(std::char_traits<char>::length(data) + 1));
    }
}

std::wstring ExecutablePath() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

// The type library resource of the running executable.
HRESULT LoadOwnTypeLibrary(ITypeLib** library) {
    return ::LoadTypeLibEx(ExecutablePath().c_str(), REGKIND_NONE, library);
}

}  // namespace

static std::string AppIdKey() {
    return std::string("AppID\\") + kAppIdText;
}

HRESULT RegisterServer() {
    WriteClassesString(AppIdKey().c_str(), nullptr, kProductName);
    WriteClassesString(kExeAppIdKey, "AppID", kAppIdText);

    ITypeLib* library = nullptr;
    HRESULT result = LoadOwnTypeLibrary(&library);
    if (SUCCEEDED(result)) {
        std::wstring path = ExecutablePath();
        result = ::RegisterTypeLib(library, path.data(), nullptr);
        library->Release();
    }
    return result;
}

HRESULT UnregisterServer() {
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, AppIdKey().c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kExeAppIdKey);

    // Unregister the version and locale that the library itself declares.
    ITypeLib* library = nullptr;
    HRESULT result = LoadOwnTypeLibrary(&library);
    if (FAILED(result)) {
        return result;
    }
    TLIBATTR* attributes = nullptr;
    result = library->GetLibAttr(&attributes);
    if (SUCCEEDED(result)) {
        result =
            ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return result;
}

}  // namespace vp
