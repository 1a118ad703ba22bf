#include "popup/ColorStatic.h"

#include <cstring>

#include "popup/LinkAccessible.h"
#include "popup/PopupTheme.h"
#include "win/Handle.h"
#include "win/WinText.h"
#include "resources/resource.h"

namespace vp {
namespace {

constexpr DWORD kHoverTimeMs = 10;

void RegisterColorStaticClass() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = win::Window::WindowProcedure;
        windowClass.hInstance = ProgramInstance();
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kColorStaticClass;
        return ::RegisterClassExA(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

ColorStatic::ColorStatic() {
    LoadColors();
}

bool ColorStatic::Create(HWND parent, const RECT& rect, DWORD style, int id) {
    RegisterColorStaticClass();
    return win::Window::Create({.className = kColorStaticClass,
                                .style = style | WS_CHILD,
                                .rect = rect,
                                .parent = parent,
                                .menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                .instance = ProgramInstance()}) != nullptr;
}

void ColorStatic::SetText(const char* text) {
    if (std::strlen(text) < sizeof text_) {
        std::strcpy(text_, text);
    }
}

LRESULT ColorStatic::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<ColorStatic, LRESULT>;
    static constexpr Map::Entry kMessages[] = {
        Map::Message<&ColorStatic::OnCreate>(WM_CREATE),
        Map::Message<&ColorStatic::OnSetFocus>(WM_SETFOCUS),
        Map::Message<&ColorStatic::OnKillFocus>(WM_KILLFOCUS),
        Map::Message<&ColorStatic::OnPaint>(WM_PAINT),
        Map::Message<&ColorStatic::OnEraseBackground>(WM_ERASEBKGND),
        Map::Message<&ColorStatic::OnSysColorChange>(WM_SYSCOLORCHANGE),
        Map::Message<&ColorStatic::OnMouseMove>(WM_MOUSEMOVE),
        Map::Message<&ColorStatic::OnLeftButtonDown>(WM_LBUTTONDOWN),
        Map::Message<&ColorStatic::OnLeftButtonUp>(WM_LBUTTONUP),
        Map::Message<&ColorStatic::OnMouseHover>(WM_MOUSEHOVER),
        Map::Message<&ColorStatic::OnMouseLeave>(WM_MOUSELEAVE),
        Map::Message<&ColorStatic::OnSetFont>(WM_SETFONT),
        Map::Message<&ColorStatic::OnGetFont>(WM_GETFONT),
        Map::Message<&ColorStatic::OnGetObject>(WM_GETOBJECT),
        Map::Message<&ColorStatic::OnOpenRequest>(kLinkOpenMessage),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

void ColorStatic::LoadColors() {
    const PopupPalette palette = CurrentPopupPalette();
    normalTextColor_ = ColorOf(palette.linkText);
    focusTextColor_ = ColorOf(palette.focusText);
    hoverTextColor_ = ColorOf(palette.hoverText);
    focusBackgroundColor_ = ColorOf(palette.focusBackground);
    underlineHover_ = palette.underlineHover;
}

void ColorStatic::InvalidateInParent() {
    RECT rect;
    ::GetWindowRect(Handle(), &rect);
    HWND parent = ::GetParent(Handle());
    if (parent == nullptr) {
        return;
    }
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    ::ScreenToClient(parent, &topLeft);
    ::ScreenToClient(parent, &bottomRight);
    rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    ::InvalidateRect(parent, &rect, FALSE);
}

LRESULT ColorStatic::OnCreate() {
    // The class cursor, so every link shows the hand once the first one exists.
    HCURSOR hand = ::LoadCursorA(ProgramInstance(), MAKEINTRESOURCEA(IDC_HAND_POINTER));
    ::SetClassLongPtrA(Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
    return 0;
}

LRESULT ColorStatic::Restyle(bool& state, bool on) {
    state = on;
    InvalidateInParent();
    return 0;
}

LRESULT ColorStatic::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    if (focused_) {
        // Opaque: the text sits on a selection-coloured band as large as the text.
        ::SetTextColor(dc, focusTextColor_);
        ::SetBkColor(dc, focusBackgroundColor_);
    } else {
        ::SetTextColor(dc, hovered_ ? hoverTextColor_ : normalTextColor_);
        ::SetBkMode(dc, TRANSPARENT);
    }
    HFONT font = font_ != nullptr ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    win::FontHandle underlined;
    if (underlineHover_ && hovered_ && !focused_) {
        LOGFONTA description{};
        ::GetObjectA(font, sizeof description, &description);
        description.lfUnderline = TRUE;
        underlined.Reset(::CreateFontIndirectA(&description));
        font = underlined ? underlined.Get() : font;
    }
    {
        const win::SelectedObject selected(dc, font);
        ::TextOutA(dc, 1, 1, text_, static_cast<int>(std::strlen(text_)));
    }
    ::EndPaint(Handle(), &paint);
    return 0;
}

LRESULT ColorStatic::OnEraseBackground() {
    return 0;  // the parent's background shows through
}

LRESULT ColorStatic::OnSysColorChange() {
    LoadColors();
    return 0;
}

LRESULT ColorStatic::OnMouseMove() {
    // Once hovered, a new hover request would change nothing, and some systems let it
    // replace the pending leave request, which would leave the link brown.
    if (hovered_) {
        return 0;
    }
    TRACKMOUSEEVENT track{sizeof track, TME_HOVER, Handle(), kHoverTimeMs};
    ::TrackMouseEvent(&track);
    return 0;
}

LRESULT ColorStatic::OnLeftButtonDown() {
    ::SetFocus(Handle());
    return 0;
}

LRESULT ColorStatic::OnLeftButtonUp() {
    return NotifyParent();
}

LRESULT ColorStatic::NotifyParent() {
    HWND parent = ::GetParent(Handle());
    if (parent != nullptr) {
        auto id = static_cast<WORD>(::GetWindowLongPtrA(Handle(), GWLP_ID));
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    return 0;
}

LRESULT ColorStatic::OnOpenRequest(WPARAM key, LPARAM) {
    return key == LinkOpenKey() ? NotifyParent() : 0;
}

LRESULT ColorStatic::OnMouseHover() {
    if (hovered_) {
        return 0;
    }
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    ::TrackMouseEvent(&track);
    return Restyle(hovered_, true);
}

LRESULT ColorStatic::OnGetObject(WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) == OBJID_CLIENT) {
        const std::size_t bullet = std::strlen(kLinkBullet);
        const char* name = std::strncmp(text_, kLinkBullet, bullet) == 0 ? text_ + bullet : text_;
        // A reference to the object is positive; a failure is a negative HRESULT, which
        // must not reach the caller as if it were one.
        const LRESULT answer =
            AnswerLinkObject(Handle(), AnsiToUtf16(name), flags, kLinkOpenMessage);
        if (answer > 0) {
            return answer;
        }
    }
    return DefaultProcedure(WM_GETOBJECT, flags, objectId);
}

LRESULT ColorStatic::OnSetFont(WPARAM font, LPARAM redraw) {
    font_ = reinterpret_cast<HFONT>(font);
    if (redraw) {
        InvalidateInParent();
    }
    return 0;
}

}  // namespace vp
