#include "win/WinText.h"

#include "win/Language.h"

namespace vp {

const LeadByteSet& SystemLeadBytes() {
    static const LeadByteSet leadBytes = [] {
        LeadByteSet set;
        CPINFO info{};
        if (::GetCPInfo(CP_ACP, &info)) {
            for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
                set.AddRange(info.LeadByte[i], info.LeadByte[i + 1]);
            }
        }
        return set;
    }();
    return leadBytes;
}

std::optional<std::string> LosslessAnsi(std::u16string_view text) {
    if (text.empty()) {
        return std::string();
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0,
                                           nullptr, &usedDefault);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, ansi.data(), size, nullptr,
                          &usedDefault);
    if (usedDefault || AnsiToUtf16(ansi) != text) {
        return std::nullopt;
    }
    return ansi;
}

std::u16string AnsiToUtf16(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int bytes = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, reinterpret_cast<wchar_t*>(wide.data()),
                          units);
    return wide;
}

std::string LoadResourceString(UINT id) {
    const std::u16string text = LoadResourceText(id);
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, units, ansi.data(), size, nullptr, nullptr);
    // At most 255 bytes, as the program's texts always were, never half a character.
    std::size_t end = 0;
    while (end < ansi.size()) {
        const std::size_t next =
            end + (SystemLeadBytes().Contains(static_cast<unsigned char>(ansi[end])) ? 2 : 1);
        if (next > 255) {
            break;
        }
        end = next;
    }
    ansi.resize(end);
    return ansi;
}

std::u16string WideProgramPath() {
    std::u16string path(32768, u'\0');  // the longest path Windows takes
    const DWORD length = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                              static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::u16string WideProgramFolder() {
    std::u16string path = WideProgramPath();
    const std::size_t end = path.find_last_of(u'\\');
    path.resize(end == std::u16string::npos ? 0 : end + 1);
    return path;
}

HINSTANCE ProgramInstance() {
    return ::GetModuleHandleA(nullptr);
}

}  // namespace vp
