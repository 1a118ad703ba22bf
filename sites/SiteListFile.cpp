#include "sites/SiteListFile.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "base/ErrorCode.h"
#include "win/QhError.h"
#include "resources/resource.h"
#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr char16_t kUserFolder[] = u"\\Quenhollow\\Vantapicker";
// A file held open by another program is tried this often, this far apart.
constexpr int kHeldFileAttempts = 8;
// How long the organisation's list may take to read before the read is cancelled, and how
// long a cancelled read may take to end.
constexpr DWORD kManagedReadDeadlineMs = 8000;
constexpr DWORD kCancelledReadMs = 1000;
constexpr char16_t kManagedCopyName[] = u"ManagedSites.qhsl";
constexpr DWORD kHeldFileRetryMilliseconds = 50;

const wchar_t* Wide(const std::u16string& path) {
    return WidePointer(path);
}

bool FileExists(const std::u16string& path) {
    DWORD attributes = ::GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// In UTF-16: the folder's name may hold characters that the ANSI code page has not (a
// Greek or Japanese user name on a Western system).
std::u16string LocalAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                  folder))) {
        return {};
    }
    return reinterpret_cast<const char16_t*>(folder);
}

// Creates the user's folder and its parents; false when that is not possible.
bool CreateUserFolder() {
    std::u16string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return false;
    }
    for (const char16_t* part : {u"\\Quenhollow", u"\\Vantapicker"}) {
        folder += part;
        if (!::CreateDirectoryW(Wide(folder), nullptr) &&
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

std::u16string UserSiteListPath() {
    std::u16string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return {};
    }
    return folder + kUserFolder + u"\\" + AnsiToUtf16(kOwnSiteListFileName);
}

std::u16string SystemSiteListPath() {
    wchar_t folder[MAX_PATH] = {};
    ::GetWindowsDirectoryW(folder, MAX_PATH);
    return reinterpret_cast<const char16_t*>(folder) + (u"\\" + AnsiToUtf16(kOwnSiteListFileName));
}

std::u16string OwnSiteListPathForReading() {
    std::u16string userPath = UserSiteListPath();
    if (!userPath.empty() && FileExists(userPath)) {
        return userPath;
    }
    return SystemSiteListPath();
}

namespace {

// Why a file's bytes could not be had; 0 when they were read.
struct FileBytes {
    std::vector<std::uint8_t> bytes;
    DWORD error = 0;
    bool opened = false;  // the error came after the file was opened
};

// The whole file. A file that another program holds open without sharing (a backup
// program or virus scanner at logon, say) is tried again for a moment before giving up.
FileBytes ReadWholeFile(const std::u16string& path) {
    FileBytes result;
    win::FileHandle file;
    for (int attempt = 0;; ++attempt) {
        file.Reset(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            break;
        }
        result.error = ::GetLastError();
        if ((result.error != ERROR_SHARING_VIOLATION && result.error != ERROR_LOCK_VIOLATION) ||
            attempt == kHeldFileAttempts - 1) {
            return result;
        }
        ::Sleep(kHeldFileRetryMilliseconds);
    }
    result.error = 0;
    result.opened = true;
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        // A pipe or device has no size: read until it ends.
        char chunk[4096];
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr)) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_BROKEN_PIPE && error != ERROR_PIPE_NOT_CONNECTED &&
                    error != ERROR_HANDLE_EOF) {
                    result.error = error;  // the writer closing its end is the end
                }
                return result;
            }
            if (read == 0) {
                return result;
            }
            if (result.bytes.size() + read > 0x7FFFFFFF) {
                result.error = ERROR_FILE_TOO_LARGE;
                return result;
            }
            result.bytes.insert(result.bytes.end(), chunk, chunk + read);
        }
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        result.error = ::GetLastError();
        return result;
    }
    if (size.QuadPart > 0x7FFFFFFF) {
        result.error = ERROR_FILE_TOO_LARGE;
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!result.bytes.empty() &&
        !::ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &read,
                    nullptr)) {
        result.error = ::GetLastError();
    } else if (read != result.bytes.size()) {
        result.error = ERROR_HANDLE_EOF;  // the file shrank while it was read
    }
    return result;
}

// Reads one file into the emptied catalogue; `givenPath` decides the messages. A file
// whose bytes cannot be had raises the system's error; one whose contents are not a
// site list raises E_FAIL.
void LoadSiteListFile(SiteCatalogue& catalogue, SiteCategoryList* categories,
                      const std::u16string& filePath, bool givenPath) {
    catalogue.Clear();
    if (categories != nullptr) {
        categories->clear();
    }
    FileBytes file = ReadWholeFile(filePath);
    if (file.error != 0) {
        // A chosen file that opened but could not be read is no wrong setting: the
        // system says why.
        throw givenPath && file.opened ? _qh_error::WithSystemText(file.error, IDS_WRONG_SETTINGS)
                                       : _qh_error::FromSystemError(file.error, IDS_WRONG_SETTINGS);
    }
    if (!IsPlainSiteListPath(filePath)) {
        SiteListCipher().Decrypt(file.bytes.data(), file.bytes.size());
    }
    std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    if (!ParseSiteList(text, catalogue, categories)) {
        throw _qh_error(kResultFail, givenPath ? IDS_WRONG_SITE_LIST : IDS_WRONG_SETTINGS);
    }
}

// Moves a user's file whose contents are not a site list out of the way, under a name
// of its own beside it, so that nothing the user had is deleted.
void SetAsideUnreadableFile(const std::u16string& path) {
    for (int number = 1; number <= 100; ++number) {
        std::u16string aside = path + u".unreadable";
        if (number > 1) {
            aside += u"-" + AnsiToUtf16(std::to_string(number));
        }
        if (::MoveFileExW(Wide(path), Wide(aside), MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return;  // it stays, and is passed over again next time
        }
    }
}

// A path as the ANSI code page can show it: characters it has not become question marks.
std::string ShownPath(const std::u16string& path) {
    if (auto ansi = LosslessAnsi(path)) {
        return *ansi;
    }
    const int units = static_cast<int>(path.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, WidePointer(path), units, nullptr, 0, nullptr, nullptr);
    std::string shown(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, WidePointer(path), units, shown.data(), bytes, nullptr,
                          nullptr);
    return shown;
}

// Writes a file through a new temporary file beside it that replaces the previous one
// only once complete; 0 or the system error that stopped it.
std::uint32_t WriteFileReplacing(const std::u16string& filePath, const std::string& bytes);

std::string ProblemText(const std::u16string& path, std::int32_t code) {
    return ShownPath(path) + ": " +
           (code == kResultFail ? LoadResourceString(IDS_WRONG_SITE_LIST)
                                : SystemErrorText(static_cast<std::uint32_t>(code) & 0xFFFF));
}

// ---- The organisation's list, read in the background ----------------------------

// What the program knows of the organisation's list, shared with the thread that reads it.
struct ManagedList {
    std::mutex lock;
    bool inBackground = false;  // set once: from then on the list is read only there
    HWND window = nullptr;
    UINT message = 0;
    bool reading = false;
    bool arrived = false;             // a read ended that the window has not taken yet
    std::u16string path;              // the list that `text` was read from
    std::optional<std::string> text;  // the last read, as plain text
    std::string problem;              // why the last read failed; empty when it did not
};

ManagedList& Managed() {
    static ManagedList list;
    return list;
}

// One read of the file, shared by the thread that reads and the one that waits for it;
// whichever lets go of it last frees it.
struct ManagedRead {
    std::u16string path;
    FileBytes file;
    LONG holders = 2;

    void LetGo() {
        if (::InterlockedDecrement(&holders) == 0) {
            delete this;
        }
    }
};

DWORD WINAPI ReadManagedBytes(void* parameter) {
    auto* read = static_cast<ManagedRead*>(parameter);
    try {
        read->file = ReadWholeFile(read->path);
    } catch (...) {
        read->file = {};
        read->file.error = ERROR_NOT_ENOUGH_MEMORY;
    }
    read->LetGo();
    return 0;
}

// The bytes of the file within the deadline; a read that takes longer is cancelled.
FileBytes ReadWithDeadline(const std::u16string& path) {
    auto* read = new ManagedRead{path, {}};
    const win::KernelHandle reader(::CreateThread(nullptr, 0, ReadManagedBytes, read, 0, nullptr));
    FileBytes file;
    if (!reader) {
        file.error = ::GetLastError();
        delete read;
        return file;
    }
    bool done = ::WaitForSingleObject(reader.Get(), kManagedReadDeadlineMs) == WAIT_OBJECT_0;
    if (!done) {
        // A share that does not answer: the open or the read gives up, or the thread
        // is left to end by itself.
        ::CancelSynchronousIo(reader.Get());
        done = ::WaitForSingleObject(reader.Get(), kCancelledReadMs) == WAIT_OBJECT_0;
    }
    if (done) {
        file = std::move(read->file);
    } else {
        file.error = ERROR_TIMEOUT;
    }
    read->LetGo();
    return file;
}

// On a thread of its own: reads the list, keeps a good one beside the user's own files
// and tells the program's window.
DWORD WINAPI ReadManagedList(void* parameter) {
    const std::unique_ptr<std::u16string> path(static_cast<std::u16string*>(parameter));
    std::optional<std::string> text;
    std::string problem;
    try {
        FileBytes file = ReadWithDeadline(*path);
        if (file.error != 0) {
            problem = ProblemText(*path, ResultFromSystemError(file.error));
        } else {
            if (!IsPlainSiteListPath(*path)) {
                SiteListCipher().Decrypt(file.bytes.data(), file.bytes.size());
            }
            std::string plain(file.bytes.begin(), file.bytes.end());
            SiteCatalogue check;
            if (ParseSiteList(plain, check, nullptr)) {
                std::string kept = plain;
                SiteListCipher().Encrypt(reinterpret_cast<std::uint8_t*>(kept.data()), kept.size());
                if (CreateUserFolder()) {
                    (void)WriteFileReplacing(ManagedSiteListCopyPath(), kept);
                }
                text = std::move(plain);
            } else {
                problem = ProblemText(*path, kResultFail);
            }
        }
    } catch (...) {
        problem = ProblemText(*path, ResultFromSystemError(ERROR_NOT_ENOUGH_MEMORY));
    }
    ManagedList& managed = Managed();
    const std::lock_guard<std::mutex> hold(managed.lock);
    managed.reading = false;
    if (text) {
        managed.path = *path;
        managed.text = std::move(text);
    }
    managed.problem = std::move(problem);
    managed.arrived = true;
    ::PostMessageW(managed.window, managed.message, 0, 0);
    return 0;
}

// Starts a read of the list named by the policy, unless one is under way. Called with
// the lock held.
void StartManagedRead(ManagedList& managed, const std::optional<std::u16string>& list) {
    if (managed.reading || !list || list->empty()) {
        return;
    }
    // The thread gets its own copy of the path.
    auto path = std::make_unique<std::u16string>(*list);
    const win::KernelHandle reader(
        ::CreateThread(nullptr, 0, ReadManagedList, path.get(), 0, nullptr));
    if (reader) {
        path.release();
        managed.reading = true;
    }
}

}  // namespace

std::u16string ManagedSiteListCopyPath() {
    std::u16string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return {};
    }
    return folder + kUserFolder + u"\\" + kManagedCopyName;
}

void ReadManagedSiteListInBackground(HWND window, UINT message,
                                     const std::optional<std::u16string>& path) {
    ManagedList& managed = Managed();
    const std::lock_guard<std::mutex> hold(managed.lock);
    managed.inBackground = true;
    managed.window = window;
    managed.message = message;
    StartManagedRead(managed, path);
}

bool TakeManagedSiteListArrival() {
    ManagedList& managed = Managed();
    const std::lock_guard<std::mutex> hold(managed.lock);
    return std::exchange(managed.arrived, false);
}

void ReadManagedSiteListAgainIfUnread(const std::optional<std::u16string>& path) {
    ManagedList& managed = Managed();
    const std::lock_guard<std::mutex> hold(managed.lock);
    if (managed.inBackground && !managed.problem.empty()) {
        StartManagedRead(managed, path);
    }
}

SiteListSource LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories,
                            const char* path) {
    LoadSiteListFile(catalogue, categories, AnsiToUtf16(path), true);
    return SiteListSource::GivenFile;
}

SiteListSource LoadSiteList(SiteCatalogue& catalogue, SiteCategoryList* categories,
                            const SiteListPolicy& policy, std::string* managedProblem) {
    const std::u16string ownPath =
        policy.allowEditing ? OwnSiteListPathForReading() : SystemSiteListPath();
    SiteListSource source = SiteListSource::WindowsCopy;
    if (ownPath != SystemSiteListPath()) {
        // A damaged or foreign file in the user's folder must not stop every start: the
        // Windows directory's copy serves instead. Only bad contents are set aside; a
        // file that cannot be opened or read is still the user's catalogue and stays.
        try {
            LoadSiteListFile(catalogue, categories, ownPath, false);
            return SiteListSource::UserFile;
        } catch (const _qh_error& error) {
            if (error.Code() == kResultFail) {
                SetAsideUnreadableFile(ownPath);
            } else {
                source = SiteListSource::WindowsCopyForUnreadUserFile;
            }
        }
    }
    if (policy.managedPath) {
        const std::u16string& managedPath = *policy.managedPath;
        ManagedList& known = Managed();
        std::unique_lock<std::mutex> hold(known.lock);
        if (known.inBackground) {
            // Only what the background read brought: the program never waits on a share.
            if (known.text && known.path == managedPath) {
                catalogue.Clear();
                if (categories != nullptr) {
                    categories->clear();
                }
                if (ParseSiteList(*known.text, catalogue, categories)) {
                    return source == SiteListSource::WindowsCopy ? SiteListSource::ManagedFile
                                                                 : source;
                }
            }
            if (managedProblem != nullptr) {
                *managedProblem = known.problem;
            }
            hold.unlock();
            if (source != SiteListSource::WindowsCopy) {
                LoadSiteListFile(catalogue, categories, SystemSiteListPath(), false);
                return source;
            }
            // Not read yet, or not readable: the last good copy stands in, and nothing
            // may be stored over the organisation's list meanwhile.
            try {
                LoadSiteListFile(catalogue, categories, ManagedSiteListCopyPath(), false);
                return SiteListSource::ManagedCopy;
            } catch (const _qh_error&) {
                LoadSiteListFile(catalogue, categories, SystemSiteListPath(), false);
                return SiteListSource::WindowsCopyForUnreadManagedFile;
            }
        }
        hold.unlock();
        try {
            if (managedPath.empty()) {
                throw _qh_error::FromSystemError(ERROR_INVALID_NAME, IDS_WRONG_SETTINGS);
            }
            LoadSiteListFile(catalogue, categories, managedPath, false);
            return source == SiteListSource::WindowsCopy ? SiteListSource::ManagedFile : source;
        } catch (const _qh_error& error) {
            if (managedProblem != nullptr) {
                *managedProblem = ProblemText(managedPath, error.Code());
            }
            if (source == SiteListSource::WindowsCopy) {
                source = SiteListSource::WindowsCopyForUnreadManagedFile;
            }
        }
    }
    LoadSiteListFile(catalogue, categories, SystemSiteListPath(), false);
    return source;
}

std::uint32_t SaveSiteList(const SiteCatalogue& catalogue, const SiteCategoryList& categories,
                           const char* path) {
    // Why the last call failed; a call that failed without saying why still fails.
    const auto lastError = [] {
        const DWORD error = ::GetLastError();
        return error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_GEN_FAILURE);
    };
    std::u16string filePath;
    if (path != nullptr) {
        filePath = AnsiToUtf16(path);
    } else {
        if (!CreateUserFolder()) {
            return lastError();
        }
        filePath = UserSiteListPath();
    }

    std::string bytes = FormatSiteList(catalogue, categories);
    if (!IsPlainSiteListPath(filePath)) {
        SiteListCipher().Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    }
    return WriteFileReplacing(filePath, bytes);
}

namespace {

std::uint32_t WriteFileReplacing(const std::u16string& filePath, const std::string& bytes) {
    const auto lastError = [] {
        const DWORD error = ::GetLastError();
        return error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_GEN_FAILURE);
    };
    // Write to a new file of our own beside the target, then move it over the target: a
    // failed write keeps the old file, and no other file is touched.
    wchar_t fullPath[MAX_PATH] = {};
    wchar_t* namePart = nullptr;
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetFullPathNameW(Wide(filePath), MAX_PATH, fullPath, &namePart);
    if (length == 0 || length >= MAX_PATH) {
        return length == 0 ? lastError() : static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE);
    }
    if (namePart == nullptr) {
        return ERROR_INVALID_NAME;  // a folder, not a file
    }
    const std::wstring folder(fullPath, namePart);
    wchar_t temporaryPath[MAX_PATH] = {};
    if (::GetTempFileNameW(folder.c_str(), L"vps", 0, temporaryPath) == 0) {
        return lastError();  // GetTempFileName created the file only when it succeeded
    }
    bool complete = false;
    {
        win::FileHandle file(::CreateFileW(temporaryPath, GENERIC_WRITE, 0, nullptr,
                                           TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteWholeFile(file.Get(), bytes);
    }
    if (!complete || !::MoveFileExW(temporaryPath, fullPath,
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = lastError();
        ::DeleteFileW(temporaryPath);
        return error;
    }
    return ERROR_SUCCESS;
}

}  // namespace

}  // namespace vp
