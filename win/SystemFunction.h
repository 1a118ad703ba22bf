// A function of a system library that is loaded only when asked for, or that older
// versions of Windows lack.
#pragma once

#include <windows.h>

#include <string>

namespace vp::win {

// The function from the library in the system folder (never one beside the program);
// null where either is missing. The library stays loaded: callers keep the address.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = ::GetModuleHandleA(library);
    if (module == nullptr) {
        char folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            module = ::LoadLibraryA((std::string(folder) + "\\" + library).c_str());
        }
    }
    FARPROC address = module != nullptr ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace vp::win
