// The "RegServer" and "UnregServer" switches: the AppID entries and the type library.
#pragma once

#include <windows.h>

namespace vp {

// {6B0E2C51-3A8F-4D72-B1C4-5E9A07D3F286}
inline constexpr char kAppIdText[] = "{6B0E2C51-3A8F-4D72-B1C4-5E9A07D3F286}";
// {3F1C2B7A-8E4D-4C6B-9A51-2D7E0B6C4F19}, also in resources/Vantapicker.idl.
inline constexpr GUID kTypeLibraryId = {
    0x3F1C2B7A, 0x8E4D, 0x4C6B, {0x9A, 0x51, 0x2D, 0x7E, 0x0B, 0x6C, 0x4F, 0x19}};

// Writes HKCR\AppID entries and registers the type library carried by the executable.
// Returns the first failure, or the type library registration's result.
HRESULT RegisterServer();
// Removes exactly what RegisterServer wrote. Returns the first failure of the keys
// (a key already gone is no failure), or the unregistration's result.
HRESULT UnregisterServer();

}  // namespace vp
