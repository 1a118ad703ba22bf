// A site link of the popup: one line of text in dark blue, orange-brown while the mouse
// rests on it, in the selection colours while it has the focus, with a pointing-hand
// cursor (in dark mode and high contrast, the colours of the popup's palette). A click
// sends WM_COMMAND with the control id to the parent. Screen readers meet it as a link.
#pragma once

#include <windows.h>

#include "win/Window.h"

namespace vp {

inline constexpr char kColorStaticClass[] = "QH_ColorStaticWnd";
// The popup's link texts begin with a bullet and a blank, which are not read out.
inline constexpr char kLinkBullet[] = "\x95 ";
// Posted to a link by its accessible default action, with LinkOpenKey() as wParam: it
// notifies its parent as a click does.
inline constexpr UINT kLinkOpenMessage = WM_USER;

class ColorStatic : public win::Window {
public:
    ColorStatic();
    ~ColorStatic() override = default;

    // Creates the control as child `id` of `parent`, without a window text.
    bool Create(HWND parent, const RECT& rect, DWORD style, int id);
    // Takes texts shorter than 256 bytes; longer ones are ignored. Does not repaint.
    void SetText(const char* text);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate();

    // Painting.
    LRESULT OnPaint();
    LRESULT OnEraseBackground();
    LRESULT OnSysColorChange();
    // The colours of the popup's palette for the system's settings of the moment.
    void LoadColors();
    // Repaints the parent under the control: the parent has no WS_CLIPCHILDREN, so its
    // background wipes the old look before the control paints again.
    void InvalidateInParent();

    // The focus and the mouse change the look.
    LRESULT OnSetFocus() { return Restyle(focused_, true); }
    LRESULT OnKillFocus() { return Restyle(focused_, false); }
    LRESULT OnMouseMove();
    LRESULT OnMouseHover();
    LRESULT OnMouseLeave() { return Restyle(hovered_, false); }
    LRESULT Restyle(bool& state, bool on);

    // A click: the focus at the press, the command at the release.
    LRESULT OnLeftButtonDown();
    LRESULT OnLeftButtonUp();
    LRESULT NotifyParent();
    // kLinkOpenMessage: a click, when it carries the key of the link's accessible object.
    LRESULT OnOpenRequest(WPARAM key, LPARAM);

    // The accessible object of the client area; others as the default procedure has them.
    LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

    LRESULT OnSetFont(WPARAM font, LPARAM redraw);
    LRESULT OnGetFont() { return reinterpret_cast<LRESULT>(font_); }

    COLORREF normalTextColor_;
    COLORREF focusTextColor_;
    COLORREF hoverTextColor_;
    COLORREF focusBackgroundColor_;
    bool underlineHover_ = false;  // high contrast tells the hovered link by its underline
    bool focused_ = false;
    bool hovered_ = false;
    char text_[256] = {};
    HFONT font_ = nullptr;  // the parent's; the stock GUI font until it gives one
};

}  // namespace vp
