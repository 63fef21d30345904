#include "ClassFactory.h"

#include "ComObject.h"
#include "Module.h"
#include "Schedule.h"
#include "TypeLibrary.h"

#include <new>

namespace taskmere {
namespace {

struct CreatableClass {
    const CLSID* clsid;
    CreateFunction create;
};

const CreatableClass kCreatableClasses[] = {
    {&CLSID_Schedule, &CreateSchedule},
};

class ClassFactory final : public ComObject<IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return create_(iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

private:
    CreateFunction create_;
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const CreatableClass& entry : kCreatableClasses) {
        if (clsid != *entry.clsid)
            continue;
        auto* factory = new (std::nothrow) ClassFactory(entry.create);
        if (!factory)
            return E_OUTOFMEMORY;
        HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace taskmere
