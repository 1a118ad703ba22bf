#include "tests/win/Fixtures.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "sites/SiteListCipher.h"
#include "tests/fixtures/FixtureMessages.h"
#include "tests/win/WindowSearch.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

using namespace test::selection_fixture;
using test::ReadFileBytes;
constexpr int kSelectionEditId = 1;
constexpr DWORD kQueryTimeoutMs = 5000;

constexpr char kRecorderSettingsKey[] = "Software\\Vantapicker Tests";
constexpr char kRecorderLogValue[] = "RecorderLog";
// The keys whose default value the recorder takes over: the open commands, and the
// file type of .html, which a new prefix may lack.
constexpr const char* kUrlCommandKeys[] = {
    "http\\shell\\open\\command", "https\\shell\\open\\command", "mailto\\shell\\open\\command",
    "htmlfile\\shell\\open\\command", ".html"};

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

// Complete lines only: a recorder may be half-way through writing the last one.
std::vector<std::string> CompleteLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = bytes.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

LRESULT Query(HWND window, UINT message, WPARAM wParam, LRESULT failed) {
    DWORD_PTR result = 0;
    if (window == nullptr || !::SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG,
                                                    kQueryTimeoutMs, &result)) {
        return failed;
    }
    return static_cast<LRESULT>(result);
}

// Default value of a key below HKEY_CLASSES_ROOT.
bool ReadDefaultValue(const char* path, DWORD& type, std::string& value) {
    win::RegKey key = win::OpenKey(HKEY_CLASSES_ROOT, path, KEY_READ);
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    if (!key || ::RegQueryValueExA(key.Get(), nullptr, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
        return false;
    }
    value.assign(data, size > 0 && data[size - 1] == '\0' ? size - 1 : size);
    return true;
}

bool WriteString(HKEY root, const char* path, const char* name, DWORD type,
                 const std::string& value) {
    win::RegKey key = win::CreateKey(root, path);
    return key &&
           ::RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool IsExtendedKey(WORD vk) {
    constexpr WORD kExtended[] = {VK_INSERT,   VK_DELETE,  VK_HOME,    VK_END,  VK_PRIOR,
                                  VK_NEXT,     VK_LEFT,    VK_RIGHT,   VK_UP,   VK_DOWN,
                                  VK_RCONTROL, VK_RMENU,   VK_LWIN,    VK_RWIN, VK_APPS,
                                  VK_DIVIDE,   VK_NUMLOCK, VK_SNAPSHOT};
    return std::find(std::begin(kExtended), std::end(kExtended), vk) != std::end(kExtended);
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT ButtonInput(int button, bool up) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (button) {
        case 1:
            input.mi.dwFlags = up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
            break;
        case 2:
            input.mi.dwFlags = up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
            break;
        case 3:
        case 4:
            input.mi.dwFlags = up ? MOUSEEVENTF_XUP : MOUSEEVENTF_XDOWN;
            input.mi.mouseData = button == 3 ? XBUTTON1 : XBUTTON2;
            break;
        default:
            input.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
            break;
    }
    return input;
}

// Opens the clipboard for this thread; another program may hold it for a moment.
bool OpenClipboardPatiently(HWND owner = nullptr) {
    for (int attempt = 0; attempt < 100; ++attempt, ::Sleep(10)) {
        if (::OpenClipboard(owner)) {
            return true;
        }
    }
    return false;
}

void SendAtOnce(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Send(std::vector<INPUT> inputs) {
    SettleInput();
    SendAtOnce(std::move(inputs));
}

std::vector<INPUT> ModifierPresses(std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) {
        inputs.push_back(KeyInput(modifier, false));
    }
    return inputs;
}

std::vector<INPUT> ModifierReleases(std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        inputs.push_back(KeyInput(*it, true));
    }
    return inputs;
}

// Presses the modifiers, sends `middle`, and releases the modifiers a moment later, as a
// hand would: a program that acts on the middle input at once and relies on a modifier
// the user still holds must find it held. Sent all at once, the release could slip in
// between that program's look at the modifier and the keys it sends.
void SendWithModifiers(std::initializer_list<WORD> modifiers, const std::vector<INPUT>& middle) {
    std::vector<INPUT> inputs = ModifierPresses(modifiers);
    inputs.insert(inputs.end(), middle.begin(), middle.end());
    SettleInput();
    SendAtOnce(std::move(inputs));
    if (modifiers.size() != 0) {
        ::Sleep(100);
        SendAtOnce(ModifierReleases(modifiers));
    }
}

}  // namespace

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

std::string TempFolder() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::string NewTempFile() {
    char path[MAX_PATH] = {};
    ::GetTempFileNameA(TempFolder().c_str(), "vpt", 0, path);
    return path;
}

std::string Encrypted(std::string bytes) {
    SiteListCipher().Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

win::FileHandle HoldFile(const std::string& path, DWORD share) {
    return win::FileHandle(::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
}

win::FileHandle HoldFile(const std::u16string& path, DWORD share) {
    return win::FileHandle(::CreateFileW(WidePointer(path), GENERIC_READ, share, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool MakeHugeFile(const std::string& path) {
    win::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    size.QuadPart = 0x90000000LL;
    return file && ::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(file.Get());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    return WriteFileBytes(AnsiToUtf16(path), bytes);
}

bool WriteFileBytes(const std::u16string& path, const std::string& bytes) {
    win::FileHandle file(::CreateFileW(WidePointer(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

int FixtureBitness() {
    char bits[8] = {};
    const DWORD length = ::GetEnvironmentVariableA("VP_TEST_FIXTURE_BITS", bits, sizeof bits);
    return length > 0 && length < sizeof bits && lstrcmpA(bits, "32") == 0 ? 32 : 64;
}

bool Runs32BitPrograms() {
    char runs[4] = {};
    return !(::GetEnvironmentVariableA("VP_WINE_32BIT", runs, sizeof runs) == 1 && runs[0] == '0');
}

HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

win::KernelHandle StartHelperProgram(std::string commandLine, DWORD* processId) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ::AllowSetForegroundWindow(ASFW_ANY);  // it may take the foreground from the test
    // Wine, busy beside the tests, once refused a start at once: it is tried twice more.
    for (int attempt = 1; !::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, &info);
         ++attempt) {
        if (attempt == 3) {
            return win::KernelHandle();
        }
        ::Sleep(500);
    }
    ::CloseHandle(info.hThread);
    if (processId != nullptr) {
        *processId = info.dwProcessId;
    }
    return win::KernelHandle(info.hProcess);
}

void EndHelperProgram(const win::KernelHandle& process) {
    if (process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process.Get(), 0);
        ::WaitForSingleObject(process.Get(), 5000);
    }
}

// ---------------------------------------------------------------------------

SelectionFixture::SelectionFixture(const std::string& text, const SelectionOptions& options) {
    textFile_ = NewTempFile();
    if (!WriteFileBytes(textFile_, text)) {
        problem_ = "cannot write the text file " + textFile_;
        return;
    }
    std::string commandLine =
        Quoted(TestProgramFolder() +
               (FixtureBitness() == 32 ? "SelectionFixture32.exe" : "SelectionFixture.exe"));
    commandLine.append(" ").append(Quoted(textFile_)).append(ToArguments(options));
    process_ = StartHelperProgram(commandLine, &processId_);
    if (!process_) {
        problem_ = "cannot start " + commandLine + ": error " + std::to_string(::GetLastError());
        return;
    }

    constexpr DWORD timeoutMs = 10000;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    ::WaitForInputIdle(process_.Get(), timeoutMs);  // it has shown its window
    ULONGLONG nextNudge = ::GetTickCount64() + 1000;
    int nudges = 0;
    do {
        if (::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) {
            problem_ = "SelectionFixture.exe ended early";
            return;
        }
        if (window_ == nullptr) {
            for (HWND window : TopLevelWindows(kClassName)) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                window_ = owner == processId_ ? window : window_;
            }
        }
        if (window_ != nullptr && edit_ == nullptr) {  // made just after the window
            edit_ = ::GetDlgItem(window_, kSelectionEditId);
        }
        if (edit_ != nullptr && ::GetForegroundWindow() == window_ &&
            FocusOfThreadOf(window_) == edit_) {
            // A query makes it handle what is still queued for it (for example the
            // X server's focus events under Wine), so later input finds it settled.
            ready_ = Query(window_, kQueryChanged, 0, -1) == 0;
            if (!ready_) {
                problem_ = "SelectionFixture.exe does not answer, or its text changed";
            }
            return;
        }
        PumpMessagesFor(20);
        if (window_ != nullptr && ::GetTickCount64() >= nextNudge) {
            // Activation can get lost when the window of the previous test goes away at
            // the same time: let the program take the foreground and focus again.
            ++nudges;
            ::PostMessageA(window_, kComeForward, 0, 0);
            nextNudge = ::GetTickCount64() + 500;
        }
    } while (::GetTickCount64() < deadline);

    if (window_ == nullptr) {
        problem_ = "no SelectionFixture window";
    } else if (HWND foreground = ::GetForegroundWindow(); foreground != window_) {
        problem_ = "not in the foreground; the foreground window's class is " +
                   (foreground != nullptr ? ClassOf(foreground) : "<none>");
    } else {
        HWND focus = FocusOfThreadOf(window_);
        problem_ = "the edit control does not have the focus; the focus window's class is " +
                   (focus != nullptr ? ClassOf(focus) : "<none>");
    }
    problem_ += " (asked " + std::to_string(nudges) + " times to come forward)";
}

SelectionFixture::~SelectionFixture() {
    Release();
    EndHelperProgram(process_);
    if (!textFile_.empty()) {
        ::DeleteFileA(textFile_.c_str());
    }
}

// ---------------------------------------------------------------------------

ClipboardOwnerFixture::ClipboardOwnerFixture()
    : process_(StartHelperProgram(Quoted(TestProgramFolder() + "ClipboardOwner.exe"))) {
    ready_ = process_ && WaitUntil(
                             [&] {
                                 window_ =
                                     ::FindWindowA(test::clipboard_owner::kClassName, nullptr);
                                 return window_ != nullptr && ::GetClipboardOwner() == window_;
                             },
                             10000);
}

ClipboardOwnerFixture::~ClipboardOwnerFixture() {
    EndHelperProgram(process_);
}

int ClipboardOwnerFixture::KeptRenders() const {
    return static_cast<int>(Query(window_, test::clipboard_owner::kQueryKeptRenders, 0, -1));
}

int ClipboardOwnerFixture::OtherRenders() const {
    return static_cast<int>(Query(window_, test::clipboard_owner::kQueryOtherRenders, 0, -1));
}

void ClipboardOwnerFixture::StopAnswering(DWORD ms) const {
    ::PostMessageA(window_, test::clipboard_owner::kStopAnswering, ms, 0);
}

void ClipboardOwnerFixture::SetRenderTime(DWORD ms) const {
    Query(window_, test::clipboard_owner::kSetRenderTime, ms, -1);
}

bool ClipboardOwnerFixture::TakeClipboard() const {
    Query(window_, test::clipboard_owner::kTakeClipboard, 0, -1);
    return ::GetClipboardOwner() == window_;
}

std::string SelectionFixture::Text() const {
    return edit_ != nullptr ? WindowText(edit_) : std::string();
}

int SelectionFixture::ClickCount(UINT buttonMessage) const {
    return static_cast<int>(Query(window_, kQueryCount, buttonMessage, -1));
}

int SelectionFixture::InsertPresses() const {
    return static_cast<int>(Query(window_, kQueryInsertPresses, 0, -1));
}

void SelectionFixture::ResetCounts() const {
    Query(window_, kResetCounts, 0, 0);
}

bool SelectionFixture::WasPasted() const {
    return Query(window_, kQueryChanged, 0, 0) == 1;
}

void SelectionFixture::Select(int start, int end) const {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(edit_, EM_SETSEL, static_cast<WPARAM>(start), end, SMTO_ABORTIFHUNG,
                          kQueryTimeoutMs, &ignored);
}

void SelectionFixture::Hang() {
    release_.Reset(::CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent));
    ::ResetEvent(release_.Get());
    ::PostMessageA(window_, kHang, 0, 0);
    // Hung once it no longer answers.
    WaitUntil(
        [&] {
            DWORD_PTR ignored = 0;
            return !::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 50, &ignored);
        },
        5000);
}

void SelectionFixture::Release() {
    if (release_) {
        ::SetEvent(release_.Get());
        release_.Reset();
    }
}

// ---------------------------------------------------------------------------

UrlRecorder::UrlRecorder() {
    const std::string command = Quoted(TestProgramFolder() + "UrlRecorder.exe") + " \"%1\"";
    ready_ = true;
    for (const char* keyPath : kUrlCommandKeys) {
        SavedCommand saved;
        saved.key = keyPath;
        saved.existed = ReadDefaultValue(keyPath, saved.type, saved.value);
        saved_.push_back(saved);
        const std::string value = keyPath[0] == '.' ? "htmlfile" : command;
        ready_ = WriteString(HKEY_CLASSES_ROOT, keyPath, nullptr, REG_SZ, value) && ready_;
    }

    log_ = NewTempFile();
    ::DeleteFileA((log_ + ".utf8").c_str());
    char previous[MAX_PATH] = {};
    DWORD size = sizeof previous - 1;
    hadLogValue_ = ::RegGetValueA(HKEY_CURRENT_USER, kRecorderSettingsKey, kRecorderLogValue,
                                  RRF_RT_REG_SZ, nullptr, previous, &size) == ERROR_SUCCESS;
    previousLogValue_ = previous;
    ready_ =
        WriteString(HKEY_CURRENT_USER, kRecorderSettingsKey, kRecorderLogValue, REG_SZ, log_) &&
        ready_;
}

UrlRecorder::~UrlRecorder() {
    for (const SavedCommand& saved : saved_) {
        if (saved.existed) {
            WriteString(HKEY_CLASSES_ROOT, saved.key.c_str(), nullptr, saved.type, saved.value);
        } else {
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, saved.key.c_str());
        }
    }
    if (hadLogValue_) {
        WriteString(HKEY_CURRENT_USER, kRecorderSettingsKey, kRecorderLogValue, REG_SZ,
                    previousLogValue_);
    } else {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRecorderSettingsKey, kRecorderLogValue);
    }
    ::DeleteFileA(log_.c_str());
    ::DeleteFileA((log_ + ".cmdline").c_str());
    ::DeleteFileA((log_ + ".utf8").c_str());
}

std::vector<std::string> UrlRecorder::Urls() const {
    return CompleteLines(ReadFileBytes(log_));
}

std::vector<std::string> UrlRecorder::Utf8Urls() const {
    return CompleteLines(ReadFileBytes(log_ + ".utf8"));
}

std::vector<std::string> UrlRecorder::CommandLines() const {
    return CompleteLines(ReadFileBytes(log_ + ".cmdline"));
}

bool UrlRecorder::WaitForUrls(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Urls().size() >= count; }, timeoutMs);
}

// ---------------------------------------------------------------------------

void SettleInput() {
    // Under Wine, a window that has just taken the foreground takes the key state from X
    // when its thread next reads its events, and releases keys that X does not hold:
    // a modifier sent before that could be lifted under the key it modifies. So the
    // foreground thread answers once before anything is sent.
    if (HWND foreground = ::GetForegroundWindow()) {
        ::Sleep(50);
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    }
}

void PressKeys(std::initializer_list<WORD> modifiers, WORD key) {
    SendWithModifiers(modifiers, {KeyInput(key, false), KeyInput(key, true)});
}

void PressKeysAtOnce(std::initializer_list<WORD> modifiers, WORD key) {
    std::vector<INPUT> inputs = ModifierPresses(modifiers);
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    const std::vector<INPUT> releases = ModifierReleases(modifiers);
    inputs.insert(inputs.end(), releases.begin(), releases.end());
    SendAtOnce(std::move(inputs));
}

void HoldKey(WORD vk) {
    Send({KeyInput(vk, false)});
}

void ReleaseKey(WORD vk) {
    Send({KeyInput(vk, true)});
}

void ClickAt(POINT point, int button, std::initializer_list<WORD> modifiers) {
    ::SetCursorPos(point.x, point.y);
    SendWithModifiers(modifiers, {ButtonInput(button, false), ButtonInput(button, true)});
}

void PressButton(int button) {
    Send({ButtonInput(button, false)});
}

void ReleaseButton(int button) {
    Send({ButtonInput(button, true)});
}

void MoveMouseTo(POINT point) {
    ::SetCursorPos(point.x, point.y);
    // One pixel there and back, so there is a movement wherever the cursor was.
    INPUT there{};
    there.type = INPUT_MOUSE;
    there.mi.dx = 1;
    there.mi.dwFlags = MOUSEEVENTF_MOVE;
    INPUT back = there;
    back.mi.dx = -1;
    Send({there, back});
}

POINT CenterOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::optional<std::string> ClipboardText() {
    if (!OpenClipboardPatiently()) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (win::GlobalLockView<const char> bytes(::GetClipboardData(CF_TEXT)); bytes) {
        text = std::string(bytes.Get());
    }
    ::CloseClipboard();
    return text;
}

bool SetClipboardText(const std::string& text, HWND owner) {
    return SetClipboardBlock(CF_TEXT, text.c_str(), text.size() + 1, owner);
}

bool SetClipboardBlock(UINT format, const void* data, std::size_t size, HWND owner) {
    HGLOBAL memory = test::GlobalBlock(data, size);
    if (memory == nullptr || !OpenClipboardPatiently(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    const bool set = ::SetClipboardData(format, memory) != nullptr;
    ::CloseClipboard();
    if (!set) {
        ::GlobalFree(memory);
    }
    return set;
}

std::string LargeDib() {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 2560;
    header.biHeight = 2048;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::string dib(sizeof header + 2560u * 2048u * 4u, '\0');
    std::memcpy(dib.data(), &header, sizeof header);
    for (std::size_t i = sizeof header; i < dib.size(); ++i) {
        dib[i] = static_cast<char>(i * 7 / 3);
    }
    return dib;
}

void EmptyClipboardNow(HWND owner) {
    if (OpenClipboardPatiently(owner)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

bool WaitForClipboardText(const std::string& expected, DWORD timeoutMs) {
    // The clipboard is opened only when its content changed: polling it open would make
    // a program that copies at that moment fail to open it (an edit control does not
    // try again).
    DWORD checked = ::GetClipboardSequenceNumber();
    if (ClipboardText() == expected) {
        return true;
    }
    return WaitUntil(
        [&] {
            const DWORD sequence = ::GetClipboardSequenceNumber();
            if (sequence == checked) {
                return false;
            }
            checked = sequence;
            return ClipboardText() == expected;
        },
        timeoutMs);
}

}  // namespace vp
