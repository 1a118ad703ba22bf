#include "sites/SiteListFile.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "base/ErrorCode.h"
#include "win/QhError.h"
#include "resources/resource.h"
#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"
#include "win/Handle.h"

namespace vp {
namespace {

constexpr char kUserFolder[] = "\\Quenhollow\\Vantapicker";

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LocalAppDataFolder() {
    char folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                  folder))) {
        return {};
    }
    return folder;
}

// Creates the user's folder and its parents; false when that is not possible.
bool CreateUserFolder() {
    std::string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return false;
    }
    for (const char* part : {"\\Quenhollow", "\\Vantapicker"}) {
        folder += part;
        if (!::CreateDirectoryA(folder.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return true;
}

bool WriteWholeFile(HANDLE file, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return ::FlushFileBuffers(file) != 0;
}

}  // namespace

std::string UserSiteListPath() {
    std::string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return {};
    }
    return folder + kUserFolder + "\\" + std::string(kOwnSiteListFileName);
}

std::string SystemSiteListPath() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + std::string(kOwnSiteListFileName);
}

std::string OwnSiteListPathForReading() {
    std::string userPath = UserSiteListPath();
    if (!userPath.empty() && FileExists(userPath)) {
        return userPath;
    }
    return SystemSiteListPath();
}

namespace {

// Reads one file into the emptied catalogue; `givenPath` decides the message of a file
// that is not a site list.
void LoadSiteListFile(SiteCatalogue& catalogue, SiteCategoryList* categories,
                      const std::string& filePath, bool givenPath) {
    catalogue.Clear();
    if (categories != nullptr) {
        categories->clear();
    }
    win::FileHandle file(::CreateFileA(filePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw _qh_error::FromLastError(IDS_WRONG_SETTINGS);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        return;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return;
    }
    if (!IsPlainSiteListPath(filePath)) {
        SiteListCipher().Decrypt(bytes.data(), bytes.size());
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseSiteList(text, catalogue, categories)) {
        throw _qh_error(kResultFail, givenPath ? IDS_WRONG_SITE_LIST : IDS_WRONG_SETTINGS);
    }
}

// Moves a user's file that can no longer be read out of the way, under a name of its
// own beside it, so that nothing the user had is deleted.
void SetAsideUnreadableFile(const std::string& path) {
    for (int number = 1; number <= 100; ++number) {
        std::string aside = path + ".unreadable";
        if (number > 1) {
            aside += "-" + std::to_string(number);
        }
        if (::MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return;  // held open elsewhere, say: it stays, and is passed over again next time
        }
    }
}

}  // namespace

void LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories, const char* path) {
    if (path != nullptr) {
        LoadSiteListFile(catalogue, categories, path, true);
        return;
    }
    const std::string ownPath = OwnSiteListPathForReading();
    if (ownPath != SystemSiteListPath()) {
        // A damaged or foreign file in the user's folder must not stop every start: the
        // Windows directory's copy serves instead.
        try {
            LoadSiteListFile(catalogue, categories, ownPath, false);
            return;
        } catch (const _qh_error&) {
            SetAsideUnreadableFile(ownPath);
        }
    }
    LoadSiteListFile(catalogue, categories, SystemSiteListPath(), false);
}

bool SaveSiteList(const SiteCatalogue& catalogue, const SiteCategoryList& categories,
                  const char* path) {
    std::string filePath;
    if (path != nullptr) {
        filePath = path;
    } else {
        if (!CreateUserFolder()) {
            return false;
        }
        filePath = UserSiteListPath();
    }

    std::string bytes = FormatSiteList(catalogue, categories);
    if (!IsPlainSiteListPath(filePath)) {
        SiteListCipher().Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    }

    // Write to a new file of our own beside the target, then move it over the target: a
    // failed write keeps the old file, and no other file is touched.
    char fullPath[MAX_PATH] = {};
    char* namePart = nullptr;
    const DWORD length = ::GetFullPathNameA(filePath.c_str(), MAX_PATH, fullPath, &namePart);
    if (length == 0 || length >= MAX_PATH || namePart == nullptr) {
        return false;
    }
    const std::string folder(fullPath, namePart);
    char temporaryPath[MAX_PATH] = {};
    if (::GetTempFileNameA(folder.c_str(), "vps", 0, temporaryPath) == 0) {
        return false;  // GetTempFileName created the file only when it succeeded
    }
    bool complete = false;
    {
        win::FileHandle file(::CreateFileA(temporaryPath, GENERIC_WRITE, 0, nullptr,
                                           TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteWholeFile(file.Get(), bytes);
    }
    if (!complete || !::MoveFileExA(temporaryPath, fullPath,
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileA(temporaryPath);
        ::SetLastError(error);  // the caller reports why the file was not written
        return false;
    }
    return true;
}

}  // namespace vp
