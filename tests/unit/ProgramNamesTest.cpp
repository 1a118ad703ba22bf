// The programs without gestures: how a list is read and how a name is hashed, which the
// hook library does the same way on its own process's file name.
#include <gtest/gtest.h>

#include "base/ProgramNames.h"

namespace vp {
namespace {

std::uint64_t Hash(std::u16string_view name) {
    return HashProgramName(name.data(), name.size());
}

TEST(ProgramNames, HashIsFnv1aOverFoldedUnitsAndIgnoresCaseInEveryScript) {
    // FNV-1a of the bytes 'a' 0x00: the code unit, low byte first.
    EXPECT_EQ(Hash(u""), 0xCBF29CE484222325ull);
    EXPECT_EQ(Hash(u"a"), ((0xCBF29CE484222325ull ^ 'a') * 0x100000001B3ull) * 0x100000001B3ull);
    EXPECT_EQ(Hash(u"NotePad.EXE"), Hash(u"notepad.exe"));
    EXPECT_EQ(Hash(u"\u00C9DIT.exe"), Hash(u"\u00E9dit.exe"));  // É and é
    EXPECT_NE(Hash(u"\u00D7.exe"), Hash(u"\u00F7.exe"));        // × and ÷ are no letters
    // Every script folds, one unit to one: Cyrillic, Greek with its final sigma, the
    // Kelvin sign, Cherokee (whose small letters fold to capitals, across the 16-bit wrap);
    // ß does not become ss.
    EXPECT_EQ(Hash(u"\u0410.exe"), Hash(u"\u0430.exe"));
    EXPECT_EQ(Hash(u"\u039B\u039F\u0393\u039F\u03A3.exe"),
              Hash(u"\u03BB\u03BF\u03B3\u03BF\u03C2.exe"));
    EXPECT_EQ(Hash(u"\u212A.exe"), Hash(u"k.exe"));
    EXPECT_EQ(Hash(u"\uAB70.exe"), Hash(u"\u13A0.exe"));
    EXPECT_NE(Hash(u"\u00DF.exe"), Hash(u"ss.exe"));
    EXPECT_NE(Hash(u"\u0131.exe"), Hash(u"i.exe"));    // dotless i is no i
    for (char32_t unit = 0; unit < 0x10000; ++unit) {  // a folded unit folds to itself
        const char16_t folded = FoldCase(static_cast<char16_t>(unit));
        ASSERT_EQ(FoldCase(folded), folded) << static_cast<unsigned>(unit);
    }
    EXPECT_NE(Hash(u"notepad.exe"), Hash(u"notepad.ex"));
    EXPECT_NE(Hash(u"ab.exe"), Hash(u"ba.exe"));
    // The hook's own name: the file name of a full path, wide characters of Windows too.
    const wchar_t path[] = L"C:\\Windows\\System32\\NOTEPAD.exe";
    EXPECT_EQ(HashProgramPath(path, sizeof path / sizeof path[0] - 1), Hash(u"notepad.exe"));
    const char16_t slashes[] = u"D:/games/Game.EXE";
    EXPECT_EQ(HashProgramPath(slashes, 17), Hash(u"game.exe"));
    static_assert(HashProgramName(u"A", 1) == HashProgramName(u"a", 1));
}

TEST(ProgramNames, ListKeepsFileNamesTrimmedWithoutEmptyEntriesOrRepeats) {
    using Names = std::vector<std::u16string>;
    EXPECT_EQ(ParseProgramList(u""), Names{});
    EXPECT_EQ(ParseProgramList(u" ; ;\t;"), Names{});
    EXPECT_EQ(ParseProgramList(u"mstsc.exe;game.exe"), (Names{u"mstsc.exe", u"game.exe"}));
    EXPECT_EQ(ParseProgramList(u"  C:\\Program Files\\Tool\\My Tool.exe ;;\tgame.exe\t;"),
              (Names{u"My Tool.exe", u"game.exe"}));
    EXPECT_EQ(ParseProgramList(u"Game.exe;GAME.EXE;c:\\x\\game.exe;other.exe"),
              (Names{u"Game.exe", u"other.exe"}));
    EXPECT_EQ(ParseProgramList(u"C:;D:\\folder\\"), Names{});

    const auto hashes = HashProgramList(u"NOTEPAD.EXE; C:\\x\\game.exe");
    ASSERT_TRUE(hashes.has_value());
    ASSERT_EQ(hashes->count, 2);
    EXPECT_EQ(hashes->hashes[0], Hash(u"notepad.exe"));
    EXPECT_EQ(hashes->hashes[1], Hash(u"game.exe"));
    EXPECT_EQ(hashes->hashes[2], 0u);
    EXPECT_EQ(HashProgramList(u"").value().count, 0);
}

TEST(ProgramNames, MoreNamesThanTheHookHoldsAreRefusedButRepeatsDoNotCount) {
    std::u16string list;
    for (int i = 0; i < kMaxGestureExclusions; ++i) {
        list += u"p" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                std::u16string(1, static_cast<char16_t>(u'0' + i / 26)) + u".exe;";
    }
    const auto full = HashProgramList(list + u"PA0.EXE;;");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->count, kMaxGestureExclusions);
    EXPECT_EQ(full->hashes[kMaxGestureExclusions - 1], Hash(u"pf1.exe"));
    EXPECT_FALSE(HashProgramList(list + u"one more.exe").has_value());
}

}  // namespace
}  // namespace vp
