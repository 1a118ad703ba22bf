// The file dialogs of site list import and export.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vp {

// The open dialog for a site list to import: the path of an existing file, or nothing
// when the user cancels.
std::optional<std::string> AskImportPath(HWND owner);

// The save dialog for a site list to export: "qhsl" is added to a name without an
// extension, and an existing file is replaced only when the user agrees. Nothing when
// the user cancels.
std::optional<std::string> AskExportPath(HWND owner);

}  // namespace vp
