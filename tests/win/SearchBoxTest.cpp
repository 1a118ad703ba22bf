// The popup's search box, in this process.
#include "popup/SearchBox.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "win/Handle.h"

namespace vp {
namespace {

TEST(SearchBox, ShowsTheHistoryAndItsTextInDarkBlue) {
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 220, 200, nullptr, nullptr,
                                    nullptr, nullptr);
    SearchBox box;
    ASSERT_TRUE(box.CreateIn(parent));
    EXPECT_EQ(::GetDlgCtrlID(box.Handle()), 99);
    box.Fill({"newest", "older"});
    ASSERT_EQ(::SendMessageA(box.Handle(), CB_GETCOUNT, 0, 0), 2);
    char text[64] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(box.Handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "older");
    box.Fill({"only"});
    EXPECT_EQ(::SendMessageA(box.Handle(), CB_GETCOUNT, 0, 0), 1);

    box.SetText("typed text");
    EXPECT_EQ(box.Text(), "typed text");
    ASSERT_NE(box.EditControl(), nullptr);

    // Text that the ANSI code page cannot hold stays Unicode, typed, set or picked from
    // the list; text it can hold comes back as ANSI.
    const SearchText greek = SearchText::Wide(u"\u03B1\u03B2\u03B3 \U0001F600");
    box.SetText(greek);
    EXPECT_EQ(box.Text(), greek);
    box.Fill({"plain", greek});
    ::SendMessageA(box.Handle(), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(box.Text(), greek);
    ::SendMessageA(box.Handle(), CB_SETCURSEL, 0, 0);
    EXPECT_EQ(box.Text(), "plain");
    ::SetWindowTextW(box.EditControl(), L"caf\u00E9");
    EXPECT_EQ(box.Text(), "caf\xE9");

    const win::WindowDc dc(box.EditControl());
    LRESULT brush =
        ::SendMessageA(box.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(box.EditControl()));
    EXPECT_EQ(::GetTextColor(dc.Get()), RGB(0, 20, 140));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), ::GetSysColorBrush(COLOR_WINDOW));
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace vp
