#include "ObjectEnumerator.h"

#include "common/ComObject.h"

#include <memory>
#include <new>
#include <utility>

namespace taskmere {
namespace {

class ObjectEnumerator final : public com::Object<ObjectEnumerator, IEnumVARIANT> {
public:
    static const com::InterfaceEntry* Interfaces()
    {
        static const com::InterfaceEntry entries[] = {
            {&IID_IUnknown, com::As<ObjectEnumerator, IEnumVARIANT>},
            {&IID_IEnumVARIANT, com::As<ObjectEnumerator, IEnumVARIANT>},
            {nullptr, nullptr},
        };
        return entries;
    }

    // The list is shared between clones; it never changes after creation.
    ObjectEnumerator(std::shared_ptr<const ObjectList> objects, size_t position)
        : objects_(std::move(objects)), position_(position)
    {
    }

    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (fetched)
            *fetched = 0;
        if (count == 0)
            return S_OK;
        if (!items || (count > 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        while (done < count && position_ < objects_->size()) {
            IDispatch* object = (*objects_)[position_++].Get();
            VariantInit(&items[done]);
            V_VT(&items[done]) = VT_DISPATCH;
            V_DISPATCH(&items[done]) = object;
            object->AddRef();
            ++done;
        }
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        size_t left = objects_->size() - position_;
        if (count > left) {
            position_ = objects_->size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** result) override
    {
        if (!result)
            return E_POINTER;
        *result = new (std::nothrow) ObjectEnumerator(objects_, position_);
        return *result ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const ObjectList> objects_;
    size_t position_;
};

}  // namespace

HRESULT CreateObjectEnumerator(ObjectList objects, IUnknown** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return com::Guard([&] {
        // The list is shared with the clones of the enumerator.
        auto shared = std::make_shared<const ObjectList>(std::move(objects));
        auto* enumerator = new (std::nothrow) ObjectEnumerator(std::move(shared), 0);
        if (!enumerator)
            return E_OUTOFMEMORY;
        *result = enumerator;
        return S_OK;
    });
}

}  // namespace taskmere
