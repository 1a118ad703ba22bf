// One move-only owner for the kernel, registry, menu, icon, GDI, image list and hook handles.
#pragma once

#include <windows.h>
#include <commctrl.h>

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
struct GdiObjectTraits {
    using Type = HGDIOBJ;
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
using GdiObject = UniqueHandle<GdiObjectTraits>;
using HookHandle = UniqueHandle<HookTraits>;
using ImageList = UniqueHandle<ImageListTraits>;
using RegisteredWait = UniqueHandle<RegisteredWaitTraits>;

}  // namespace vp::win
