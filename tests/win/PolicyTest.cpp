// Policies written with reg.exe, as an administrator's tools write them, against the
// running program: at start-up, and while it runs once Windows says that they changed.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/RegistryKeys.h"
#include "tests/win/PopupFixture.h"
#include "win/Registry.h"

namespace vp {
namespace {

using Policies = Popup;

// Group Policy broadcasts this after it has written the policies.
void BroadcastPolicyChange() {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"),
                          SMTO_ABORTIFHUNG, 5000, &answer);
}

// Policies of both hives reach the program (which value wins is checked natively): at its
// start, the stored search history goes and none is stored; written or removed while it
// runs, at the broadcast.
TEST_F(Policies, PoliciesTakeEffectAtTheStartAndAtTheBroadcast) {
    WriteTestValue(kHistoryKey, "0", REG_SZ, "stored before", 14);
    ASSERT_TRUE(AddPolicy("HKLM", "KeepSearchHistory", "REG_DWORD", "0"));
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    EXPECT_TRUE(StoredHistory().empty());
    ASSERT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(AddPolicy("HKCU", "EnablePopupWindowHotKey", "REG_DWORD", "0"));
    BroadcastPolicyChange();
    EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    ASSERT_TRUE(DeletePolicy("HKCU", "EnablePopupWindowHotKey"));
    BroadcastPolicyChange();
    EXPECT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_CONTROL, VK_F1); }));
    EXPECT_TRUE(ExitsWithZero(app));
    EXPECT_FALSE(win::OpenKey(HKEY_CURRENT_USER, kHistoryKey, KEY_READ));
}

}  // namespace
}  // namespace vp
