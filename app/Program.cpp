#include "app/Program.h"

#include <commctrl.h>
#include <objbase.h>

#include <iterator>
#include <utility>

#include "base/CommandLine.h"
#include "base/ErrorCode.h"
#include "app/MainWindow.h"
#include "app/Registration.h"
#include "core/Configuration.h"
#include "core/Language.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/Language.h"
#include "win/QhError.h"
#include "win/WinText.h"
#include "resources/resource.h"

namespace vp {
namespace {

constexpr char kInstanceMutexName[] = "QH_VantapickerMutex";
// How long a copy that holds the mutex may take to create its main window.
constexpr DWORD kCopyStartMs = 3000;

// COM on this thread for the scope: CoInitialize, and CoUninitialize at the end when it
// succeeded (also S_FALSE: already initialised, which still counts once).
class ComScope {
public:
    ComScope() : result_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Whether a running copy of the program owns `window`: its process's file is named
// Vantapicker.exe, in whatever folder.
bool IsProgramWindow(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    win::KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 4];
    DWORD length = static_cast<DWORD>(std::size(path));
    if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, path, &length)) {
        return false;
    }
    const wchar_t* name = path + length;
    while (name > path && name[-1] != L'\\' && name[-1] != L'/') {
        --name;
    }
    return ::lstrcmpiW(name, L"Vantapicker.exe") == 0;
}

// The main window of a running copy, waiting up to `timeoutMs` for one that is still
// starting (it holds the mutex a moment before its window exists); null when none.
HWND RunningCopyWindow(DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        HWND window = nullptr;
        while ((window = ::FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) != nullptr) {
            if (IsProgramWindow(window)) {
                return window;
            }
        }
        if (::GetTickCount64() >= end) {
            return nullptr;
        }
        ::Sleep(50);
    }
}

int RunMessageLoop(HWND mainWindow, HACCEL popupKeys) {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        // The popup's keys act wherever the focus is inside the popup.
        if (!::TranslateAcceleratorA(mainWindow, popupKeys, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return 0;
}

}  // namespace

void InstallProgramTexts() {
    // The error reporter's texts in the program's language; the English ones if the string
    // table cannot be read.
    const auto text = [](UINT id, const char* english) {
        std::string loaded = LoadResourceString(id);
        return loaded.empty() ? std::string(english) : loaded;
    };
    SetProgramTexts({IDS_PRODUCT_NAME, text(IDS_SYSTEM_ERROR, VP_TEXT_SYSTEM_ERROR),
                     text(IDS_UNKNOWN_EXCEPTION, VP_TEXT_UNKNOWN_EXCEPTION)});
}

int RunProgram(HINSTANCE instance, const char* commandLine) {
    // Read once for this start: the language now, the rest as the window starts.
    Configuration configuration = ReadConfiguration();
    SetProgramLanguage(ReadProgramLanguage(configuration.LanguagePolicy()));
    InstallProgramTexts();
    // The registration switches are served whether or not a copy runs: setup registers
    // while the user's copy may still run in another session, and must learn the result.
    const RegistrationSwitch registration = FindRegistrationSwitch(commandLine, SystemLeadBytes());
    if (registration != RegistrationSwitch::None) {
        const ComScope com;
        return static_cast<int>(registration == RegistrationSwitch::Register ? RegisterServer()
                                                                             : UnregisterServer());
    }

    if (RunningCopyWindow(0) != nullptr) {
        return 0;  // already running
    }

    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    const ComScope com;

    // Two starts close together (the logon entry and a manual start) can both pass the
    // window test above; the mutex lets exactly one of them on. It exists while the
    // program runs. Access denied means an elevated copy owns it: another copy is there.
    // The name taken by another kind of object is no copy of the program: the user
    // learns why it does not start.
    // A copy that is ending has no window any more but holds the name a moment longer:
    // the start waits for the name to be free or a window to appear.
    win::KernelHandle instanceMutex;
    const ULONGLONG end = ::GetTickCount64() + kCopyStartMs;
    for (;;) {
        instanceMutex.Reset(::CreateMutexA(nullptr, FALSE, kInstanceMutexName));
        const DWORD mutexError = ::GetLastError();
        if (instanceMutex && mutexError != ERROR_ALREADY_EXISTS) {
            break;  // this copy holds the name now
        }
        if (!instanceMutex && mutexError == ERROR_INVALID_HANDLE) {
            const _qh_error error = _qh_error::WithSystemText(mutexError, 0);
            ShowErrorBox(error.Code(), error.Text());
            return 0;
        }
        if (RunningCopyWindow(0) != nullptr) {
            return 0;  // already running
        }
        if (::GetTickCount64() >= end) {
            // A mutex of that name with no copy of the program behind it is another
            // program's: the user learns why the program does not start.
            ShowErrorBox(kResultFail, LoadResourceString(IDS_INSTANCE_NAME_TAKEN));
            return 0;
        }
        instanceMutex.Reset();  // the name goes with its last handle
        ::Sleep(50);
    }

    SetExceptionReporter(&ShowExceptionBox);
    {
        MainWindow mainWindow;
        if (mainWindow.CreateHidden(instance)) {
            mainWindow.InitializeApplication(std::move(configuration));
            HACCEL popupKeys = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_POPUP_KEYS));
            RunMessageLoop(mainWindow.Handle(), popupKeys);
            // A quit message from elsewhere ends the loop with the window still there:
            // end as Exit does, before the window objects go.
            if (::IsWindow(mainWindow.Handle())) {
                mainWindow.ExitProgram();
            }
        }
    }
    return 0;
}

}  // namespace vp
