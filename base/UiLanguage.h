// The language of the program's texts: the rules that pick one of the languages its
// resources have from an organisation's policy, the user's own `Language` value and
// Windows' display language. Languages are Windows language ids (0x0407: German).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vp {

inline constexpr std::uint16_t kEnglishLanguage = 0x0409;

// The languages of the program's resources, English (US) first.
std::span<const std::uint16_t> ProgramLanguages();

// The program's language that serves a Windows language: the same one, else the one of
// the same neutral language (German (Austria) gets German, Portuguese (Portugal) gets
// Brazilian Portuguese; traditional Chinese is not served by simplified Chinese); nothing
// when the program has none.
std::optional<std::uint16_t> ServingLanguage(std::uint16_t language);

// The language a `Language` value names: "de", "de-DE", "de_AT", "pt-BR", "zh-Hans",
// "ja-JP"; letters in any case, blanks around it ignored. Nothing for a name that is blank,
// unknown or a language the program does not have.
std::optional<std::uint16_t> LanguageFromName(std::u16string_view name);

// The ANSI code page that a language's texts need, 0 when any code page holds them.
std::uint32_t LanguageCodePage(std::uint16_t language);

struct LanguageSources {
    std::u16string_view policy;                // the Language policy (empty: not configured)
    std::u16string_view user;                  // the user's Language value (empty: none)
    std::uint16_t display = kEnglishLanguage;  // Windows' display language
    std::uint32_t ansiCodePage = 1252;         // the system's code page for ANSI programs
};

// The policy's language, else the user's, else the one that serves the display language,
// else English. A language whose letters the ANSI code page cannot hold (the program's
// texts go through it) counts as unavailable: Japanese texts on a Western code page would
// show question marks, so English is shown.
std::uint16_t ChooseLanguage(const LanguageSources& sources);

}  // namespace vp
