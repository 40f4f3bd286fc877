// COM pointers and the per-thread COM initialisation, owned like every other handle.
#pragma once
#include <objbase.h>

#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

    template <typename U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        return p_ ? p_->QueryInterface(__uuidof(U), out.PutVoid()) : E_POINTER;
    }

private:
    T* p_ = nullptr;
};

// CoInitializeEx for the lifetime of the object; CoUninitialize only when it worked.
// An answer that the thread already runs in another mode (RPC_E_CHANGED_MODE) counts
// as usable but is not balanced by CoUninitialize.
class ComInit {
public:
    explicit ComInit(DWORD mode = COINIT_APARTMENTTHREADED) noexcept
        : hr_(::CoInitializeEx(nullptr, mode)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    bool Succeeded() const noexcept { return SUCCEEDED(hr_); }
    bool Usable() const noexcept { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};
