// Owners for Win32 handles, registry keys, modules, COM pointers and COM
// initialisation: each resource is released exactly once, on every path.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <winsvc.h>

#include <utility>

namespace platform {

// A move-only owner parameterised by a traits type that knows the invalid
// value(s) and how to close.
template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const noexcept { return value_; }
    bool valid() const noexcept { return Traits::IsValid(value_); }
    explicit operator bool() const noexcept { return valid(); }

    Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }
    // For out-parameters of creating calls; frees what was held before.
    Type* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

struct HandleTraits {  // CreateFile/CreateEvent/OpenProcess...: null and INVALID_HANDLE_VALUE both mean none
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
struct ServiceTraits {
    using Type = SC_HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
struct LocalMemTraits {  // memory the system hands out with LocalAlloc (CommandLineToArgvW, FormatMessage)
    using Type = HLOCAL;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::LocalFree(h); }
};

using ScopedHandle = UniqueResource<HandleTraits>;
using ScopedFind = UniqueResource<FindTraits>;
using ScopedKey = UniqueResource<KeyTraits>;
using ScopedModule = UniqueResource<ModuleTraits>;
using ScopedService = UniqueResource<ServiceTraits>;
using ScopedLocal = UniqueResource<LocalMemTraits>;

// Owner of one COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept
    {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

// Owner of a COM string (a BSTR carries its length: services behind a proxy
// need a real one, not a plain wide string).
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    explicit ScopedBstr(const wchar_t* text) noexcept : value_(::SysAllocString(text)) {}
    ~ScopedBstr() { ::SysFreeString(value_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const noexcept { return value_; }

private:
    BSTR value_ = nullptr;
};

// Balances CoInitialize with CoUninitialize on the same thread when it succeeded.
class ComInitScope {
public:
    ComInitScope() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComInitScope()
    {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComInitScope(const ComInitScope&) = delete;
    ComInitScope& operator=(const ComInitScope&) = delete;
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace platform
