// What a site link tells screen readers: an accessible object of role "link", named by
// its text, whose default action "Open" opens the site as a click does.
#pragma once

#include <windows.h>

#include <string>

namespace vp {

// IAccessible's interface id, spelled out: mingw-w64's IID_IAccessible, linked statically,
// reads an import thunk instead of the GUID.
inline constexpr GUID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What the object's default action posts with `openMessage` as wParam: a random number
// of this process, so that another program's message of that number opens nothing.
WPARAM LinkOpenKey();

// The answer to the link's WM_GETOBJECT for its client area (OBJID_CLIENT): the object,
// built on the system's standard one for the window. Its default action posts
// `openMessage` with LinkOpenKey() to the link. 0 when the system's accessibility library is
// missing, and LresultFromObject's failure (a negative HRESULT) when it cannot hand the object out.
LRESULT AnswerLinkObject(HWND link, std::u16string name, WPARAM flags, UINT openMessage);

}  // namespace vp
