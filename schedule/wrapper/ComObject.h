// IUnknown for the component's helper objects that offer one interface: an interlocked count
// that starts at 1, the object deleted when it reaches 0, and the module kept loaded while any
// object lives.
#pragma once

#include "Module.h"

#include <objbase.h>

namespace taskmere {

template <typename Interface>
class ComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0)
            delete this;
        return refs;
    }

protected:
    ComObject() { LockModule(); }
    virtual ~ComObject() { UnlockModule(); }

private:
    LONG refs_ = 1;
};

}  // namespace taskmere
