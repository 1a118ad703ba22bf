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

void LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories, const char* path) {
    catalogue.Clear();
    if (categories != nullptr) {
        categories->clear();
    }
    const std::string filePath = path != nullptr ? path : OwnSiteListPathForReading();

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
        throw _qh_error(kResultFail, path != nullptr ? IDS_WRONG_SITE_LIST : IDS_WRONG_SETTINGS);
    }
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

    // Write beside the file, then move over it: a failed write keeps the old file.
    const std::string temporaryPath = filePath + ".new";
    bool complete = false;
    {
        win::FileHandle file(::CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        complete = WriteWholeFile(file.Get(), bytes);
    }
    if (!complete || !::MoveFileExA(temporaryPath.c_str(), filePath.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporaryPath.c_str());
        return false;
    }
    return true;
}

}  // namespace vp
