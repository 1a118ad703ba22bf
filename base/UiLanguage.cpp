#include "base/UiLanguage.h"

#include <array>

namespace vp {
namespace {

constexpr std::array<std::uint16_t, 9> kLanguages = {
    kEnglishLanguage,
    0x0407,  // German (Germany)
    0x040C,  // French (France)
    0x0C0A,  // Spanish (Spain, modern sort)
    0x0410,  // Italian (Italy)
    0x0416,  // Portuguese (Brazil)
    0x0419,  // Russian (Russia)
    0x0411,  // Japanese (Japan)
    0x0804,  // Chinese (simplified, China)
};

constexpr std::uint16_t Primary(std::uint16_t language) {
    return language & 0x3FF;
}
constexpr std::uint16_t Sub(std::uint16_t language) {
    return language >> 10;
}

constexpr std::uint16_t kChinese = 0x04;
// Chinese (Singapore) and the neutral "zh-Hans" write simplified characters; Taiwan, Hong
// Kong and Macao write traditional ones.
constexpr bool IsSimplifiedChinese(std::uint16_t language) {
    return Primary(language) == kChinese &&
           (Sub(language) == 0x02 || Sub(language) == 0x04 || Sub(language) == 0x00);
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameLetters(std::u16string_view text, std::string_view ascii) {
    if (text.size() != ascii.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != static_cast<char16_t>(ascii[i])) {
            return false;
        }
    }
    return true;
}

struct NamedLanguage {
    std::string_view name;
    std::uint16_t primary;
};
constexpr NamedLanguage kNames[] = {
    {"en", 0x09}, {"de", 0x07}, {"fr", 0x0C}, {"es", 0x0A},     {"it", 0x10},
    {"pt", 0x16}, {"ru", 0x19}, {"ja", 0x11}, {"zh", kChinese},
};

}  // namespace

std::span<const std::uint16_t> ProgramLanguages() {
    return kLanguages;
}

std::optional<std::uint16_t> ServingLanguage(std::uint16_t language) {
    for (std::uint16_t own : kLanguages) {
        if (own == language) {
            return own;
        }
    }
    if (Primary(language) == kChinese && !IsSimplifiedChinese(language)) {
        return std::nullopt;
    }
    for (std::uint16_t own : kLanguages) {
        if (Primary(own) == Primary(language)) {
            return own;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> LanguageFromName(std::u16string_view name) {
    while (!name.empty() && name.front() == u' ') {
        name.remove_prefix(1);
    }
    while (!name.empty() && name.back() == u' ') {
        name.remove_suffix(1);
    }
    const std::size_t dash = name.find_first_of(u"-_");
    const std::u16string_view tag = name.substr(0, dash);
    const std::u16string_view region =
        dash == std::u16string_view::npos ? std::u16string_view() : name.substr(dash + 1);
    if (dash != std::u16string_view::npos && region.empty()) {
        return std::nullopt;
    }
    for (const NamedLanguage& named : kNames) {
        if (!SameLetters(tag, named.name)) {
            continue;
        }
        if (named.primary == kChinese && !region.empty() && !SameLetters(region, "cn") &&
            !SameLetters(region, "sg") && !SameLetters(region, "hans")) {
            return std::nullopt;  // traditional Chinese
        }
        for (std::uint16_t own : kLanguages) {
            if (Primary(own) == named.primary) {
                return own;
            }
        }
    }
    return std::nullopt;
}

std::uint32_t LanguageCodePage(std::uint16_t language) {
    switch (Primary(language)) {
        case 0x09:
            return 0;  // the English texts are ASCII
        case 0x19:
            return 1251;
        case 0x11:
            return 932;
        case kChinese:
            return 936;
        default:
            return 1252;
    }
}

std::uint16_t ChooseLanguage(const LanguageSources& sources) {
    constexpr std::uint32_t kUtf8 = 65001;
    const auto fits = [&](std::uint16_t language) {
        const std::uint32_t needed = LanguageCodePage(language);
        return needed == 0 || sources.ansiCodePage == kUtf8 || sources.ansiCodePage == needed;
    };
    for (std::optional<std::uint16_t> wanted :
         {LanguageFromName(sources.policy), LanguageFromName(sources.user),
          ServingLanguage(sources.display)}) {
        if (wanted) {
            return fits(*wanted) ? *wanted : kEnglishLanguage;
        }
    }
    return kEnglishLanguage;
}

}  // namespace vp
