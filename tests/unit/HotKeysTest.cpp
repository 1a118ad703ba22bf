// The key list's labels name the keys that the hot-key registration registers.
#include "base/HotKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace vp {
namespace {

TEST(HotKeys, EachLabelNamesTheKeyOfItsPosition) {
    for (std::uint32_t index = 0; index < kHotKeyCount; ++index) {
        SCOPED_TRACE(index);
        const std::string label = HotKeyNames[index];
        const auto key = HotKeyVirtualKey(index);
        ASSERT_TRUE(key.has_value());
        if (index < 10) {
            EXPECT_EQ(label, "F" + std::to_string(index + 1));
            EXPECT_EQ(*key, 0x70 + index);
        } else {
            ASSERT_EQ(label.size(), 1u);
            EXPECT_EQ(*key, static_cast<std::uint32_t>(label[0]));  // '0'..'9', 'A'..'Z'
        }
    }
    EXPECT_FALSE(HotKeyVirtualKey(kHotKeyCount).has_value());
}

TEST(HotKeys, IndexesOutsideTheListsRegisterNothingAndModifiersMapToFlags) {
    EXPECT_FALSE(HotKeyVirtualKey(46));
    EXPECT_FALSE(HotKeyVirtualKey(0xFFFFFFFFu));
    EXPECT_EQ(HotKeyModifiers(0), 2u);
    EXPECT_EQ(HotKeyModifiers(1), 4u);
    EXPECT_EQ(HotKeyModifiers(2), 6u);
    EXPECT_FALSE(HotKeyModifiers(3));
}

}  // namespace
}  // namespace vp
