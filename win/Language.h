// The one place that reads the program's texts, menus and dialog templates: in the
// language chosen for the program (by explicit language id, since SetThreadUILanguage is
// not honoured everywhere), else in English (US).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vp {

// The language of the texts; English (US) until the program sets another.
void SetProgramLanguage(std::uint16_t language);
std::uint16_t ProgramLanguage();

// A resource of `module` in the program's language, else in English (US), else in any.
HRSRC FindLocalResource(HMODULE module, const char* type, const char* name);

// A string-table entry of the program's module (empty if absent).
std::u16string LoadResourceText(UINT id);

// A dialog template of `module`, or nullptr.
const DLGTEMPLATE* LocalDialogTemplate(HMODULE module, int id);

// A menu of the program's module; the caller destroys it.
HMENU LoadLocalMenu(int id);

}  // namespace vp
