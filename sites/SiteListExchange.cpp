#include "sites/SiteListExchange.h"

#include <commdlg.h>

namespace vp {
namespace {

// "All Files (*.*)" first, "Site List (*.qhsl)" second and preselected.
constexpr char kFilter[] = "All Files (*.*)\0*.*\0Site List (*.qhsl)\0*.qhsl\0";

OPENFILENAMEA FileDialogSettings(HWND owner, char* path) {
    OPENFILENAMEA settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFilter = kFilter;
    settings.nFilterIndex = 2;
    settings.lpstrFile = path;
    settings.nMaxFile = MAX_PATH;
    return settings;
}

}  // namespace

std::optional<std::string> AskImportPath(HWND owner) {
    char path[MAX_PATH] = {};
    OPENFILENAMEA settings = FileDialogSettings(owner, path);
    settings.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!::GetOpenFileNameA(&settings)) {
        return std::nullopt;
    }
    return std::string(path);
}

std::optional<std::string> AskExportPath(HWND owner) {
    char path[MAX_PATH] = {};
    OPENFILENAMEA settings = FileDialogSettings(owner, path);
    settings.Flags = OFN_OVERWRITEPROMPT;
    settings.lpstrDefExt = "qhsl";
    if (!::GetSaveFileNameA(&settings)) {
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace vp
