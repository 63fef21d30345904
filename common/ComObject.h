// IUnknown written once for every COM object of the DLLs: an interlocked reference count that
// starts at 1 (the creator's reference), the object deleted when it reaches 0, the module held
// while the object lives, and QueryInterface answered from a table the class declares.
//
//   class Handler final : public com::Object<Handler, IContextMenu, IShellExtInit> {
//   public:
//       static const com::InterfaceEntry* Interfaces();  // ends with {nullptr, nullptr}
//       ...
//   };
//
// Objects are created with new (std::nothrow), handed out through QueryInterface, and then the
// creator's reference is released (com::Create below does exactly that).
#pragma once

#include "common/ComModule.h"

#include <objbase.h>

#include <exception>
#include <new>

namespace com {

// One interface a class answers: its identifier and how to reach it from the object.
struct InterfaceEntry {
    const IID* iid;
    void* (*cast)(void* object);
};

// The cast of an entry: the object seen as interface `Interface`.
template <typename Class, typename Interface>
void* As(void* object)
{
    return static_cast<Interface*>(static_cast<Class*>(object));
}

template <typename Class, typename... Bases>
class Object : public Bases... {
public:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        for (const InterfaceEntry* entry = Class::Interfaces(); entry->iid; ++entry) {
            if (iid == *entry->iid) {
                *object = entry->cast(static_cast<Class*>(this));
                AddRef();
                return S_OK;
            }
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0)
            delete static_cast<Class*>(this);
        return static_cast<ULONG>(refs);
    }

protected:
    Object() { LockModule(); }
    virtual ~Object() { UnlockModule(); }

private:
    LONG refs_ = 1;
};

// Creates an object of class T, asks it for `iid` and drops the creator's reference, so the
// caller holds the only one (or nothing, when the interface is refused).
template <typename T, typename... Args>
HRESULT Create(REFIID iid, void** object, Args&&... args)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    T* created = new (std::nothrow) T(static_cast<Args&&>(args)...);
    if (!created)
        return E_OUTOFMEMORY;
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

// Runs the body of a COM method so that no C++ exception crosses the COM boundary: memory
// exhaustion becomes E_OUTOFMEMORY, anything else E_UNEXPECTED.
template <typename Body>
HRESULT Guard(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace com
