// Owning wrappers for every kind of Win32 handle the programs use. Each is closed
// exactly once, can be moved and cannot be copied; error paths need no clean-up.
#pragma once
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    pointer get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }

    pointer release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    void reset(pointer h = Traits::Invalid()) noexcept {
        pointer old = std::exchange(h_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // For out-parameters: closes what is held and hands out the slot.
    pointer* put() noexcept {
        reset();
        return &h_;
    }

private:
    pointer h_ = Traits::Invalid();
};

template <typename T, T InvalidValue, auto CloseFunction>
struct HandleTraits {
    using pointer = T;
    static T Invalid() noexcept { return InvalidValue; }
    static void Close(T h) noexcept { CloseFunction(h); }
};

struct FileHandleTraits {  // CreateFile and snapshots report failure as INVALID_HANDLE_VALUE
    using pointer = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::FindClose(h); }
};

inline void CloseKernelHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseServiceHandleNoexcept(SC_HANDLE h) noexcept { ::CloseServiceHandle(h); }
inline void CloseRegKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void FreeModuleHandle(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void DeleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteDeviceContext(HDC h) noexcept { ::DeleteDC(h); }
inline void DestroyIconHandle(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) noexcept { ::DestroyMenu(h); }
inline void FreeGlobalMemory(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void DeregisterEventSourceHandle(HANDLE h) noexcept { ::DeregisterEventSource(h); }

// Kernel objects that report failure as a null handle: processes, threads, mutexes,
// events, mailslot servers, tokens.
using UniqueHandleKernel = UniqueHandle<HandleTraits<HANDLE, nullptr, CloseKernelHandle>>;
// Files, and Toolhelp snapshots, which report failure as INVALID_HANDLE_VALUE.
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueServiceHandle = UniqueHandle<HandleTraits<SC_HANDLE, nullptr, CloseServiceHandleNoexcept>>;
using UniqueHKey = UniqueHandle<HandleTraits<HKEY, nullptr, CloseRegKey>>;
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, nullptr, FreeModuleHandle>>;
using UniqueGdiObject = UniqueHandle<HandleTraits<HGDIOBJ, nullptr, DeleteGdiObject>>;
using UniqueDC = UniqueHandle<HandleTraits<HDC, nullptr, DeleteDeviceContext>>;
using UniqueIcon = UniqueHandle<HandleTraits<HICON, nullptr, DestroyIconHandle>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, nullptr, DestroyMenuHandle>>;
using UniqueGlobal = UniqueHandle<HandleTraits<HGLOBAL, nullptr, FreeGlobalMemory>>;
using UniqueEventSource = UniqueHandle<HandleTraits<HANDLE, nullptr, DeregisterEventSourceHandle>>;

// Typed GDI objects (fonts, brushes, bitmaps, pens) keep their own handle type.
template <typename T>
struct GdiTraits {
    using pointer = T;
    static T Invalid() noexcept { return nullptr; }
    static void Close(T h) noexcept { ::DeleteObject(h); }
};
using UniqueFont = UniqueHandle<GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<GdiTraits<HBITMAP>>;
using UniquePen = UniqueHandle<GdiTraits<HPEN>>;

// Runs a callable when the scope ends, for the odd one-off clean-up.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (active_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void Dismiss() noexcept { active_ = false; }

private:
    F f_;
    bool active_ = true;
};
