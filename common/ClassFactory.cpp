#include "common/ClassFactory.h"

#include "common/ComObject.h"

namespace com {
namespace {

class ClassFactory final : public Object<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    static const InterfaceEntry* Interfaces()
    {
        static const InterfaceEntry entries[] = {
            {&IID_IUnknown, As<ClassFactory, IClassFactory>},
            {&IID_IClassFactory, As<ClassFactory, IClassFactory>},
            {nullptr, nullptr},
        };
        return entries;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return Guard([&] { return create_(iid, object); });
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

HRESULT GetClassObject(const CreatableClass* classes, size_t count, REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (clsid == *classes[i].clsid)
            return Create<ClassFactory>(iid, object, classes[i].create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace com
