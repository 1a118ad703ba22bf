// The program's one top-level window: the hidden receiver of the triggers, the owner of
// the notification-area icon and the popup that the user sees.
#pragma once

#include <windows.h>

#include "win/Handle.h"
#include "win/Window.h"

namespace vp {

inline constexpr char kMainWindowClass[] = "QH_VantapickerHiddenWnd";
inline constexpr char kInstanceMutexName[] = "QH_VantapickerMutex";

class MainWindow : public win::Window {
public:
    MainWindow();

    // Registers the window class and creates the hidden window.
    bool CreateHidden(HINSTANCE instance);
    // The start-up sequence; an error shows the error box and ends the program.
    void InitializeApplication();
    // The one orderly end of the program: stores what must survive, then destroys the
    // window, whose WM_DESTROY ends the message loop.
    void ExitProgram();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);

    void InitializeSteps();

    HICON ActiveIcon;    // shared icon resources: not destroyed
    HICON InactiveIcon;
    bool Active = true;
    bool PopupCapturePending = false;
    bool DefaultCapturePending = false;
    bool PopupHotKeyRegistered = false;
    bool DefaultHotKeyRegistered = false;
    HWND NextClipboardViewer = nullptr;
    UINT_PTR DefaultCaptureTimer = 0;
    UINT_PTR PopupCaptureTimer = 0;
    UINT_PTR ShowPopupTimer = 0;
    win::KernelHandle InstanceMutex;
};

}  // namespace vp
