#include "sites/SiteListExchange.h"

#include <commdlg.h>

#include <string>

#include "resources/resource.h"
#include "win/SystemFunction.h"
#include "win/WinText.h"

namespace vp {
namespace {

// "All Files (*.*)" first, "Site List (*.qhsl)" second and preselected; the string
// table's text separates names and patterns with '|', the dialog wants zeros.
const char* Filter() {
    static const std::string filter = [] {
        std::string text = LoadResourceString(IDS_SITE_LIST_FILTER);
        for (char& c : text) {
            c = c == '|' ? '\0' : c;
        }
        return text;
    }();
    return filter.c_str();
}

// comdlg32 is loaded when a file is first asked for, not at every start.
bool ShowFileDialog(const char* function, OPENFILENAMEA* settings) {
    using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEA*);
    const auto show = win::SystemFunction<FileDialogFunction>("comdlg32.dll", function);
    return show != nullptr && show(settings) != FALSE;
}

OPENFILENAMEA FileDialogSettings(HWND owner, char* path) {
    OPENFILENAMEA settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFilter = Filter();
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
    if (!ShowFileDialog("GetOpenFileNameA", &settings)) {
        return std::nullopt;
    }
    return std::string(path);
}

std::optional<std::string> AskExportPath(HWND owner) {
    char path[MAX_PATH] = {};
    OPENFILENAMEA settings = FileDialogSettings(owner, path);
    settings.Flags = OFN_OVERWRITEPROMPT;
    settings.lpstrDefExt = "qhsl";
    if (!ShowFileDialog("GetSaveFileNameA", &settings)) {
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace vp
