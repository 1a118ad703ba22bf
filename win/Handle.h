// One move-only owner for the kernel, registry, menu, icon, GDI, image list and hook
// handles, and the scoped pairs of calls that own nothing but must be undone on every way
// out.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <utility>

namespace vp::win {

// Traits give the handle type, its empty value and how to release it.
template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Type Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    // Releases the owned handle and takes another one.
    void Reset(Type handle = Traits::Empty()) {
        if (handle_ != Traits::Empty()) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }
    // Gives up ownership without releasing.
    Type Release() { return std::exchange(handle_, Traits::Empty()); }
    // For APIs that return a handle through a pointer: releases the old one first.
    Type* Receive() {
        Reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile reports failure as INVALID_HANDLE_VALUE
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
// A GDI object of one kind (HBITMAP, HFONT, HBRUSH, ...), handed out as that kind.
template <typename Handle>
struct GdiTraits {
    using Type = Handle;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct HookTraits {
    using Type = HHOOK;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::UnhookWindowsHookEx(h); }
};
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};

struct RegisteredWaitTraits {  // RegisterWaitForSingleObject; ending waits for its callback
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::UnregisterWaitEx(h, INVALID_HANDLE_VALUE); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using BitmapHandle = UniqueHandle<GdiTraits<HBITMAP>>;
using FontHandle = UniqueHandle<GdiTraits<HFONT>>;
using BrushHandle = UniqueHandle<GdiTraits<HBRUSH>>;
using HookHandle = UniqueHandle<HookTraits>;
using ImageList = UniqueHandle<ImageListTraits>;
using RegisteredWait = UniqueHandle<RegisteredWaitTraits>;

// A device context from GetDC, released on every way out; null when there was none.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context; the one it replaced goes back at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A global memory block locked for reading as T; unlocked on every way out. Null when the
// block is null or cannot be locked.
template <typename T>
class GlobalLockView {
public:
    explicit GlobalLockView(HANDLE block)
        : block_(block), data_(block != nullptr ? static_cast<T*>(::GlobalLock(block)) : nullptr) {}
    ~GlobalLockView() {
        if (data_ != nullptr) {
            ::GlobalUnlock(block_);
        }
    }
    GlobalLockView(const GlobalLockView&) = delete;
    GlobalLockView& operator=(const GlobalLockView&) = delete;
    T* Get() const { return data_; }
    // Size of the block in bytes.
    std::size_t Bytes() const { return ::GlobalSize(block_); }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HANDLE block_;
    T* data_;
};

}  // namespace vp::win
