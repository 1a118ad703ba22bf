// Helper programs and real input for tests that drive Vantapicker.exe from outside:
// a window with a selected text (SelectionFixture.exe), a stand-in for the web browser
// (UrlRecorder.exe), and keys and clicks through SendInput.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "tests/fixtures/FixtureMessages.h"
#include "win/Handle.h"

namespace vp {

// Folder of the running test program, with a trailing backslash. The build puts the
// helper programs there.
std::string TestProgramFolder();

// The temporary folder, with a trailing backslash.
std::string TempFolder();
// A new temporary file name (the file exists, empty).
std::string NewTempFile();
// Writes bytes to a file, replacing it.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool WriteFileBytes(const std::u16string& path, const std::string& bytes);
// The bytes as a site list file holds them: encrypted with the program's cipher.
std::string Encrypted(std::string bytes);
// Another program's handle on an existing file, sharing only what `share` allows (0: the
// file can be neither replaced nor deleted).
win::FileHandle HoldFile(const std::string& path, DWORD share = 0);
win::FileHandle HoldFile(const std::u16string& path, DWORD share = 0);
// A file of 2.25 GiB, more than one read can take, made without writing (it takes no room).
bool MakeHugeFile(const std::string& path);

// Starts a helper program (`commandLine` begins with its quoted path), allowed to take
// the foreground; its process, or none when it cannot start. `processId` gets its id.
win::KernelHandle StartHelperProgram(std::string commandLine, DWORD* processId = nullptr);
// Ends a helper program that still runs.
void EndHelperProgram(const win::KernelHandle& process);
// The window with the focus in the thread of `window` (null when none).
HWND FocusOfThreadOf(HWND window);

// The bitness of the application that SelectionFixture starts: 64, or 32 (the same
// program built as SelectionFixture32.exe) when the environment variable
// VP_TEST_FIXTURE_BITS is 32, so that the same tests run against a 32-bit application.
int FixtureBitness();
// False where the Wine session says that 32-bit programs cannot run (VP_WINE_32BIT=0:
// a kernel without 32-bit support); true elsewhere, Windows included.
bool Runs32BitPrograms();

using SelectionControl = test::selection_fixture::Control;
using SelectionOptions = test::selection_fixture::Options;

// SelectionFixture.exe (or its 32-bit build, see FixtureBitness) showing `text` (any bytes but
// zero), all of it selected, in the foreground with the focus in its edit control. Ends the program
// when destroyed.
class SelectionFixture {
public:
    explicit SelectionFixture(const std::string& text, const SelectionOptions& options = {});
    ~SelectionFixture();
    SelectionFixture(const SelectionFixture&) = delete;
    SelectionFixture& operator=(const SelectionFixture&) = delete;

    // True once the window was found in the foreground with its edit control focused.
    bool Ready() const { return ready_; }
    // Why it is not ready (empty when it is).
    const std::string& Problem() const { return problem_; }
    HWND Window() const { return window_; }
    HWND Edit() const { return edit_; }
    // The edit control's text (read across processes).
    std::string Text() const;

    // How many of a mouse button message (WM_LBUTTONDOWN .. WM_XBUTTONUP, and the
    // DBLCLK ones: a second click within the double-click time arrives as one) reached
    // the window or its edit control; -1 when the program does not answer. Input that
    // was already queued to the program is counted before it answers.
    int ClickCount(UINT buttonMessage) const;
    // How many Insert key presses (the copy key of Ctrl+Insert) reached the edit control;
    // -1 when the program does not answer.
    int InsertPresses() const;
    // Forgets the counts and whether the text was changed.
    void ResetCounts() const;
    // True when the text was changed since the start or ResetCounts: a paste (for
    // example Shift+Insert) or typing, never a copy.
    bool WasPasted() const;
    // Selects the characters from `start` to `end` of the control (its own positions).
    void Select(int start, int end) const;
    // The program stops responding until Release (or its destruction, or 10 s).
    void Hang();
    void Release();

private:
    win::KernelHandle process_;
    DWORD processId_ = 0;
    std::string textFile_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
    bool ready_ = false;
    std::string problem_;
    win::KernelHandle release_;  // set: the hung program goes on
};

// ClipboardOwner.exe owning the clipboard with thirty formats that it renders only on
// request: eighteen that a user gets back after a paste, twelve that are not (see the
// program). Ends the program when destroyed.
class ClipboardOwnerFixture {
public:
    ClipboardOwnerFixture();
    ~ClipboardOwnerFixture();
    ClipboardOwnerFixture(const ClipboardOwnerFixture&) = delete;
    ClipboardOwnerFixture& operator=(const ClipboardOwnerFixture&) = delete;

    // True once its window owns the clipboard.
    bool Ready() const { return ready_; }
    HWND Window() const { return window_; }
    // How many requests to render were for formats of either group; -1 when the
    // program does not answer.
    int KeptRenders() const;
    int OtherRenders() const;
    // The program stops answering for `ms` milliseconds from now.
    void StopAnswering(DWORD ms) const;
    // Takes the clipboard again, every format unrendered, and forgets the counts.
    bool TakeClipboard() const;
    // Each later render takes `ms` milliseconds.
    void SetRenderTime(DWORD ms) const;

private:
    win::KernelHandle process_;
    HWND window_ = nullptr;
    bool ready_ = false;
};

// Makes UrlRecorder.exe the shell's open command of http, https and mailto URLs and of
// HTML files, and gives it a new empty log; puts the previous commands back when
// destroyed.
class UrlRecorder {
public:
    UrlRecorder();
    ~UrlRecorder();
    UrlRecorder(const UrlRecorder&) = delete;
    UrlRecorder& operator=(const UrlRecorder&) = delete;

    // True when both commands and the log path were set.
    bool Ready() const { return ready_; }
    // The URLs recorded so far, in order, one per complete line of the log.
    std::vector<std::string> Urls() const;
    // The same URLs in UTF-8, taken from the recorder's Unicode command line: every
    // character of a URL opened as Unicode.
    std::vector<std::string> Utf8Urls() const;
    // Waits until at least `count` URLs were recorded; false on time-out. The first
    // start of the recorder can take seconds on a busy machine.
    bool WaitForUrls(size_t count, DWORD timeoutMs = 15000) const;
    // Each recorder's raw command line, as Windows passed it (for diagnosis).
    std::vector<std::string> CommandLines() const;
    const std::string& LogPath() const { return log_; }

private:
    struct SavedCommand {
        std::string key;
        bool existed = false;
        DWORD type = REG_SZ;
        std::string value;
    };
    std::vector<SavedCommand> saved_;
    std::string log_;
    bool hadLogValue_ = false;
    std::string previousLogValue_;
    bool ready_ = false;
};

// Key presses through SendInput: presses the modifiers in order, presses and releases
// `key`, and a moment later releases the modifiers in reverse order.
void PressKeys(std::initializer_list<WORD> modifiers, WORD key);
// The same keys in one SendInput call, modifiers released at once and without waiting
// for SettleInput first: for timing from the key press.
void PressKeysAtOnce(std::initializer_list<WORD> modifiers, WORD key);
// Lets the foreground window's thread catch up with a change of foreground before input
// is sent; PressKeys, HoldKey, ReleaseKey, ClickAt and MoveMouseTo do this first.
void SettleInput();
void HoldKey(WORD vk);
void ReleaseKey(WORD vk);

// Moves the cursor to a point in screen coordinates, presses the modifiers, presses and
// releases a mouse button (0 left, 1 right, 2 middle, 3 X1, 4 X2), and a moment later
// releases the modifiers in reverse order.
void ClickAt(POINT point, int button, std::initializer_list<WORD> modifiers = {});

// One half of a click (button numbers as for ClickAt), for a button held across events.
void PressButton(int button);
void ReleaseButton(int button);

// Moves the cursor to a point in screen coordinates with a mouse movement, as a user
// would, so the window under it sees the mouse arrive.
void MoveMouseTo(POINT point);

// The centre of a window's rectangle, in screen coordinates.
POINT CenterOf(HWND window);

// The clipboard's CF_TEXT; nothing when it holds none.
std::optional<std::string> ClipboardText();
// Puts `text` on the clipboard as CF_TEXT, owned by `owner` (by default no window).
bool SetClipboardText(const std::string& text, HWND owner = nullptr);
// Puts `size` bytes of `data` on the clipboard as the only format.
bool SetClipboardBlock(UINT format, const void* data, std::size_t size, HWND owner = nullptr);
// A bottom-up DIB of 2560 x 2048 pixels at 32 bits (20 MB) with a pattern in its pixels.
std::string LargeDib();
// Empties the clipboard as `owner` (by default no window), so that a later copy can be
// told from an old one.
void EmptyClipboardNow(HWND owner = nullptr);
// Waits until the clipboard's CF_TEXT equals `expected`; false on time-out.
bool WaitForClipboardText(const std::string& expected, DWORD timeoutMs);

}  // namespace vp
