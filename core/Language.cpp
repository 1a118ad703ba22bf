#include "core/Language.h"

#include <windows.h>

#include <string>

#include "base/UiLanguage.h"
#include "core/RegistryKeys.h"
#include "win/Registry.h"

namespace vp {

std::uint16_t ReadProgramLanguage(std::u16string_view policy) {
    std::u16string user;
    if (win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kProgramKey, KEY_READ)) {
        user = win::ReadWideString(key.Get(), kLanguageValue).value_or(std::u16string());
    }
    LanguageSources sources;
    sources.policy = policy;
    sources.user = user;
    sources.display = ::GetUserDefaultUILanguage();
    sources.ansiCodePage = ::GetACP();
    return ChooseLanguage(sources);
}

}  // namespace vp
