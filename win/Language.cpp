#include "win/Language.h"

#include "win/WinText.h"

namespace vp {
namespace {

constexpr std::uint16_t kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
std::uint16_t programLanguage = kEnglishUs;

const void* ResourceData(HMODULE module, HRSRC resource) {
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    return loaded != nullptr ? ::LockResource(loaded) : nullptr;
}

}  // namespace

void SetProgramLanguage(std::uint16_t language) {
    programLanguage = language;
}

std::uint16_t ProgramLanguage() {
    return programLanguage;
}

HRSRC FindLocalResource(HMODULE module, const char* type, const char* name) {
    for (std::uint16_t language : {programLanguage, kEnglishUs}) {
        if (HRSRC found = ::FindResourceExA(module, type, name, language)) {
            return found;
        }
    }
    return ::FindResourceA(module, name, type);
}

std::u16string LoadResourceText(UINT id) {
    // A string table holds its entries in blocks of 16, each entry its length in UTF-16
    // units and the units.
    const HMODULE module = ProgramInstance();
    const HRSRC block = FindLocalResource(module, RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1));
    const auto* entry = static_cast<const WORD*>(ResourceData(module, block));
    if (entry == nullptr) {
        return {};
    }
    const DWORD size = ::SizeofResource(module, block) / sizeof(WORD);
    const WORD* end = entry + size;
    for (UINT index = id & 15; index > 0 && entry < end; --index) {
        entry += 1 + *entry;
    }
    if (entry >= end || *entry > end - entry - 1) {
        return {};
    }
    return std::u16string(reinterpret_cast<const char16_t*>(entry + 1), *entry);
}

const DLGTEMPLATE* LocalDialogTemplate(HMODULE module, int id) {
    return static_cast<const DLGTEMPLATE*>(
        ResourceData(module, FindLocalResource(module, RT_DIALOG, MAKEINTRESOURCEA(id))));
}

HMENU LoadLocalMenu(int id) {
    const HMODULE module = ProgramInstance();
    const void* menu =
        ResourceData(module, FindLocalResource(module, RT_MENU, MAKEINTRESOURCEA(id)));
    return menu != nullptr ? ::LoadMenuIndirectW(menu) : nullptr;
}

}  // namespace vp
