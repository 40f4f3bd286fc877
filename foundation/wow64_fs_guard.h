// Looks past the WOW64 file-system redirection for as long as it lives, so that a
// 32-bit program on 64-bit Windows sees the real system folders. Inactive in a 64-bit
// process and on 32-bit Windows.
#pragma once
#include <windows.h>

#include "foundation/unique_handle.h"

class Wow64FsGuard {
public:
    Wow64FsGuard() = default;
    ~Wow64FsGuard() { Unload(); }
    Wow64FsGuard(const Wow64FsGuard&) = delete;
    Wow64FsGuard& operator=(const Wow64FsGuard&) = delete;

    bool Load();     // loads "Kernel32.dll" and finds both functions
    bool Disable();  // turns the redirection off, once
    bool Revert();   // turns it back on when Disable did turn it off
    void Unload();   // reverts if needed and frees the module

    bool Disabled() const { return disabled_; }

private:
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    using RevertFn = BOOL(WINAPI*)(PVOID);
    UniqueModule kernel32_;
    DisableFn disable_ = nullptr;
    RevertFn revert_ = nullptr;
    PVOID saved_ = nullptr;
    bool disabled_ = false;
};

// True when this process is a 32-bit process on 64-bit Windows.
bool IsWow64Process();

// The usual use: off when the process runs under WOW64, back on at the end of scope.
class RedirectionOff {
public:
    RedirectionOff() {
        if (IsWow64Process() && guard_.Load()) guard_.Disable();
    }

private:
    Wow64FsGuard guard_;
};
