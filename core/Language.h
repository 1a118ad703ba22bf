// The language of the program's texts as this user's Windows, own setting and
// organisation ask for it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vp {

// The registry value under the program's key (HKCU) and the policy that name a language.
inline constexpr char kLanguageValue[] = "Language";

// The Language policy (`policy`, empty when not configured), else the user's Language
// value, else Windows' display language; the language the program shows
// (base/UiLanguage.h has the rules).
std::uint16_t ReadProgramLanguage(std::u16string_view policy);

}  // namespace vp
