#include "popup/SearchBox.h"

#include <commctrl.h>

#include "base/WideText.h"
#include "popup/PopupTheme.h"
#include "win/WinText.h"
#include "resources/resource.h"

namespace vp {
namespace {

constexpr char kSearchBoxClass[] = "QH_VantapickerSearchBox";

// Registers the superclass of the extended combo box once; returns the base procedure.
WNDPROC RegisterSearchBoxClass() {
    static WNDPROC baseProcedure = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (!::GetClassInfoExA(nullptr, WC_COMBOBOXEXA, &windowClass)) {
            return static_cast<WNDPROC>(nullptr);
        }
        WNDPROC base = windowClass.lpfnWndProc;
        windowClass.lpfnWndProc = win::Window::WindowProcedure;
        windowClass.hInstance = ProgramInstance();
        windowClass.lpszClassName = kSearchBoxClass;
        ::RegisterClassExA(&windowClass);
        return base;
    }();
    return baseProcedure;
}

}  // namespace

bool SearchBox::CreateIn(HWND popup) {
    WNDPROC base = RegisterSearchBoxClass();
    if (base == nullptr) {
        return false;
    }
    SetBaseProcedure(base);
    LoadColors();
    return Create({.className = kSearchBoxClass,
                   .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                   .rect = {5, 6, 5 + 205, 6 + 140},
                   .parent = popup,
                   .menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_BOX)),
                   .instance = ProgramInstance()}) != nullptr;
}

LRESULT SearchBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<SearchBox, LRESULT>;
    static constexpr Map::Entry kMessages[] = {
        Map::Message<&SearchBox::OnControlColor>(WM_CTLCOLOREDIT),
        Map::Message<&SearchBox::OnControlColor>(WM_CTLCOLORLISTBOX),
        Map::Message<&SearchBox::OnSysColorChange>(WM_SYSCOLORCHANGE),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

LRESULT SearchBox::OnControlColor(WPARAM wParam, LPARAM) {
    auto dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, textColor_);
    ::SetBkColor(dc, backgroundColor_);
    return reinterpret_cast<LRESULT>(backgroundBrush_ ? backgroundBrush_.Get()
                                                      : ::GetSysColorBrush(COLOR_WINDOW));
}

LRESULT SearchBox::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    LoadColors();
    return DefaultProcedure(WM_SYSCOLORCHANGE, wParam, lParam);
}

void SearchBox::LoadColors() {
    const PopupPalette palette = CurrentPopupPalette();
    textColor_ = ColorOf(palette.searchText);
    backgroundColor_ = ColorOf(palette.searchBackground);
    backgroundBrush_.Reset(backgroundColor_ != ::GetSysColor(COLOR_WINDOW)
                               ? ::CreateSolidBrush(backgroundColor_)
                               : nullptr);
}

HWND SearchBox::EditControl() const {
    return reinterpret_cast<HWND>(::SendMessageA(Handle(), CBEM_GETEDITCONTROL, 0, 0));
}

void SearchBox::SetText(const SearchText& text) {
    if (text.IsWide()) {
        ::SetWindowTextW(EditControl(), WidePointer(text.wide));
    } else {
        ::SetWindowTextA(Handle(), text.ansi.c_str());
    }
}

SearchText SearchBox::Text() const {
    // One unit more than is kept, so that the cut can tell a surrogate pair it would split.
    wchar_t wide[257] = {};
    const int units = ::GetWindowTextW(EditControl(), wide, 257);
    if (units > 0) {
        std::u16string wideText =
            CutText(std::u16string_view(reinterpret_cast<const char16_t*>(wide),
                                        static_cast<std::size_t>(units)),
                    255);
        if (!LosslessAnsi(wideText)) {
            return SearchText::Wide(std::move(wideText));
        }
    }
    char text[256] = {};
    int length = ::GetWindowTextA(Handle(), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void SearchBox::Fill(const SearchHistoryList& history) {
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (const SearchText& entry : history) {
        if (entry.IsWide()) {
            COMBOBOXEXITEMW item{};
            item.mask = CBEIF_TEXT;
            item.iItem = -1;
            item.pszText = const_cast<wchar_t*>(WidePointer(entry.wide));
            item.cchTextMax = 260;
            ::SendMessageW(Handle(), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            continue;
        }
        COMBOBOXEXITEMA item{};
        item.mask = CBEIF_TEXT;
        item.iItem = -1;
        item.pszText = const_cast<char*>(entry.ansi.c_str());
        item.cchTextMax = 260;
        ::SendMessageA(Handle(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace vp
