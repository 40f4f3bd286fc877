#include "foundation/wow64_fs_guard.h"

bool IsWow64Process() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

bool Wow64FsGuard::Load() {
    if (!kernel32_) kernel32_.reset(::LoadLibraryW(L"Kernel32.dll"));
    if (!kernel32_) return false;
    disable_ = reinterpret_cast<DisableFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32_.get(), "Wow64DisableWow64FsRedirection")));
    revert_ = reinterpret_cast<RevertFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32_.get(), "Wow64RevertWow64FsRedirection")));
    return disable_ && revert_;
}

bool Wow64FsGuard::Disable() {
    if (disabled_ || !disable_) return disabled_;
    disabled_ = disable_(&saved_) != FALSE;
    return disabled_;
}

bool Wow64FsGuard::Revert() {
    if (!disabled_ || !revert_) return !disabled_;
    if (revert_(saved_)) disabled_ = false;
    return !disabled_;
}

void Wow64FsGuard::Unload() {
    Revert();
    disable_ = nullptr;
    revert_ = nullptr;
    kernel32_.reset();
}
