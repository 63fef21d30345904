// Small owners for Windows handles. Ownership rule: an owner closes what it holds when it goes
// out of scope or is given something new; Release() hands the raw value back to the caller.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <utility>

template <typename Traits>
class ScopedHandle {
public:
    using Value = typename Traits::Value;

    ScopedHandle() = default;
    explicit ScopedHandle(Value value) : value_(value) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : value_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    bool IsValid() const { return Traits::IsValid(value_); }
    explicit operator bool() const { return IsValid(); }
    Value Get() const { return value_; }
    Value* Receive()
    {
        Reset();
        return &value_;
    }
    Value Release() { return std::exchange(value_, Traits::Empty()); }
    void Reset(Value value = Traits::Empty())
    {
        if (Traits::IsValid(value_))
            Traits::Close(value_);
        value_ = value;
    }

private:
    Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
    static void Close(Value v) { CloseHandle(v); }
};

struct FindHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
    static void Close(Value v) { FindClose(v); }
};

struct RegKeyTraits {
    using Value = HKEY;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static void Close(Value v) { RegCloseKey(v); }
};

struct LibraryTraits {
    using Value = HMODULE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static void Close(Value v) { FreeLibrary(v); }
};

// Fonts, brushes, pens and bitmaps the caller created.
struct GdiObjectTraits {
    using Value = HGDIOBJ;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static void Close(Value v) { DeleteObject(v); }
};

using AutoHandle = ScopedHandle<KernelHandleTraits>;
using AutoFindHandle = ScopedHandle<FindHandleTraits>;
using AutoRegKey = ScopedHandle<RegKeyTraits>;
using AutoLibrary = ScopedHandle<LibraryTraits>;
using AutoGdiObject = ScopedHandle<GdiObjectTraits>;

// A window's device context from GetDC, given back with ReleaseDC.
class AutoWindowDC {
public:
    explicit AutoWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~AutoWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    AutoWindowDC(const AutoWindowDC&) = delete;
    AutoWindowDC& operator=(const AutoWindowDC&) = delete;
    explicit operator bool() const { return dc_ != nullptr; }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context; the one it replaced goes back in at the end.
class AutoSelectObject {
public:
    AutoSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~AutoSelectObject()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    AutoSelectObject(const AutoSelectObject&) = delete;
    AutoSelectObject& operator=(const AutoSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds one reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_)
    {
        if (ptr_)
            ptr_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other)
    {
        if (other.ptr_)
            other.ptr_->AddRef();
        Reset();
        ptr_ = other.ptr_;
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* ptr)
    {
        ComPtr result;
        result.ptr_ = ptr;
        return result;
    }
    // Takes a reference of its own to an object the caller keeps holding.
    static ComPtr Share(T* ptr)
    {
        if (ptr)
            ptr->AddRef();
        return Adopt(ptr);
    }

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    T** Receive()
    {
        Reset();
        return &ptr_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    T* Detach() { return std::exchange(ptr_, nullptr); }
    void Reset()
    {
        if (ptr_)
            std::exchange(ptr_, nullptr)->Release();
    }

private:
    T* ptr_ = nullptr;
};

// COM initialised for the current thread for the lifetime of the object.
class ScopedCom {
public:
    ScopedCom() : result_(CoInitialize(nullptr)) {}
    ~ScopedCom()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    HRESULT Result() const { return result_; }
    bool Succeeded() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};
