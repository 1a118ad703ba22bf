#include "base/UiLanguage.h"

#include <gtest/gtest.h>

namespace vp {
namespace {

TEST(UiLanguage, DisplayLanguageIsServedByItselfOrItsNeutralLanguageElseNothing) {
    EXPECT_EQ(ServingLanguage(0x0407), 0x0407);        // German (Germany)
    EXPECT_EQ(ServingLanguage(0x0C07), 0x0407);        // German (Austria)
    EXPECT_EQ(ServingLanguage(0x0816), 0x0416);        // Portuguese (Portugal): Brazilian
    EXPECT_EQ(ServingLanguage(0x080A), 0x0C0A);        // Spanish (Mexico)
    EXPECT_EQ(ServingLanguage(0x0809), 0x0409);        // English (United Kingdom)
    EXPECT_EQ(ServingLanguage(0x1004), 0x0804);        // Chinese (Singapore), simplified
    EXPECT_EQ(ServingLanguage(0x0404), std::nullopt);  // Chinese (Taiwan), traditional
    EXPECT_EQ(ServingLanguage(0x040B), std::nullopt);  // Finnish
}

TEST(UiLanguage, NamesInAnyCaseWithOrWithoutRegion) {
    EXPECT_EQ(LanguageFromName(u"de"), 0x0407);
    EXPECT_EQ(LanguageFromName(u" DE-at "), 0x0407);
    EXPECT_EQ(LanguageFromName(u"pt_PT"), 0x0416);
    EXPECT_EQ(LanguageFromName(u"ja-JP"), 0x0411);
    EXPECT_EQ(LanguageFromName(u"zh-Hans"), 0x0804);
    EXPECT_EQ(LanguageFromName(u"en"), 0x0409);
    for (const char16_t* name : {u"", u"  ", u"zh-TW", u"fi", u"de-", u"deu", u"d"}) {
        EXPECT_EQ(LanguageFromName(name), std::nullopt) << int(name[0]);
    }
}

TEST(UiLanguage, PolicyBeforeUserBeforeDisplayAndEnglishWhenTheCodePageCannotShowIt) {
    const auto choose = [](std::u16string_view policy, std::u16string_view user,
                           std::uint16_t display, std::uint32_t codePage) {
        return ChooseLanguage({policy, user, display, codePage});
    };
    EXPECT_EQ(choose(u"", u"", 0x0C07, 1252), 0x0407);
    EXPECT_EQ(choose(u"", u"", 0x040B, 1252), 0x0409);
    EXPECT_EQ(choose(u"", u"fr", 0x0407, 1252), 0x040C);
    EXPECT_EQ(choose(u"it-IT", u"fr", 0x0407, 1252), 0x0410);
    EXPECT_EQ(choose(u"klingon", u"fr", 0x0407, 1252), 0x040C);  // not a language: not set
    EXPECT_EQ(choose(u"", u"xx", 0x0411, 932), 0x0411);
    EXPECT_EQ(choose(u"", u"", 0x0411, 1252), 0x0409);  // no Japanese letters in 1252
    EXPECT_EQ(choose(u"ru", u"", 0x0411, 932), 0x0409);
    EXPECT_EQ(choose(u"ru", u"", 0x0409, 65001), 0x0419);  // UTF-8 holds every language
    EXPECT_EQ(choose(u"en", u"", 0x0804, 936), 0x0409);
}

}  // namespace
}  // namespace vp
