#include "options/OptionsSheet.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr int kGeneralTab = 0;
constexpr int kSitesTab = 1;

void InsertTab(HWND tabs, int index, UINT textId) {
    std::string text = LoadResourceString(textId);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = -1;
    ::SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
}

}  // namespace

OptionsSheet::OptionsSheet(Configuration configuration, std::function<void()> exitProgram)
    : configuration_(std::move(configuration)),
      exitProgram_(std::move(exitProgram)),
      general_(configuration_),
      sites_(configuration_, [this] {
          programEnded_ = true;
          if (exitProgram_) {
              exitProgram_();
          }
      }) {}

INT_PTR OptionsSheet::Run(HINSTANCE instance, HWND owner) {
    return RunModal(instance, IDD_OPTIONS, owner);
}

INT_PTR OptionsSheet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<OptionsSheet, INT_PTR>;
    static constexpr Map::Entry kMessages[] = {
        Map::Notify<&OptionsSheet::OnTabChanged>(IDC_OPTIONS_TABS, TCN_SELCHANGE),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

INT_PTR OptionsSheet::OnInit() {
    // The tabs fill the client area but for a margin and the buttons' strip at the bottom.
    RECT client{};
    ::GetClientRect(Handle(), &client);
    RECT area{5, 5, client.right - 5, client.bottom - 35};
    const auto instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(Handle(), GWLP_HINSTANCE));
    tabs_ = ::CreateWindowExA(
        WS_EX_NOPARENTNOTIFY, WC_TABCONTROLA, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_MULTILINE | TCS_FORCELABELLEFT,
        area.left, area.top, area.right - area.left, area.bottom - area.top, Handle(),
        reinterpret_cast<HMENU>(IDC_OPTIONS_TABS), instance, nullptr);
    ::SendMessageA(tabs_, WM_SETFONT, ::SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
    InsertTab(tabs_, kGeneralTab, IDS_GENERAL_TAB);
    InsertTab(tabs_, kSitesTab, IDS_SITES_TAB);

    // The pages fill the tabs' display area, moved 2 pixels to the left.
    ::SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    area.left -= 2;
    general_.Create(instance, IDD_GENERAL_PAGE, Handle(), area);
    sites_.Create(instance, IDD_SITES_PAGE, Handle(), area);
    if (programEnded_) {
        // The Sites page could not open and ended the program: close without storing.
        OnCancel();
        return TRUE;
    }
    general_.Show(true);
    return TRUE;
}

INT_PTR OptionsSheet::OnTabChanged(const NMHDR&) {
    if (::SendMessageA(tabs_, TCM_GETCURSEL, 0, 0) == kSitesTab) {
        general_.Show(false);
        sites_.Show(true);
    } else {
        sites_.Show(false);
        general_.Show(true);
    }
    return 0;
}

void OptionsSheet::OnOk() {
    if (!general_.CanApply()) {
        // The page said why; the user sees it and the field in question.
        TabCtrl_SetCurSel(tabs_, kGeneralTab);
        sites_.Show(false);
        general_.Show(true);
        general_.FocusRefusedField();
        return;
    }
    general_.Apply();
    sites_.Apply();
    DestroyPages();
    Dialog::OnOk();
}

void OptionsSheet::OnCancel() {
    DestroyPages();
    Dialog::OnCancel();
}

void OptionsSheet::DestroyPages() {
    for (const win::Page* page :
         {static_cast<const win::Page*>(&general_), static_cast<const win::Page*>(&sites_)}) {
        if (page->Handle() != nullptr) {
            ::DestroyWindow(page->Handle());
        }
    }
}

}  // namespace vp
