#include "Triggers.h"

#include "ObjectEnumerator.h"

#include <new>

namespace taskmere {

HRESULT Triggers::Create(ITask* task, ComPtr<Triggers>* result)
{
    ComPtr<Triggers> object = MakeObject<Triggers>(task);
    if (!object)
        return E_OUTOFMEMORY;
    HRESULT hr = object->Update();
    if (FAILED(hr))
        return hr;
    *result = std::move(object);
    return S_OK;
}

Triggers::Triggers(ITask* task)
{
    task->AddRef();
    task_ = ComPtr<ITask>::Adopt(task);
}

HRESULT Triggers::UpdateEach()
{
    for (const ComPtr<Trigger>& item : items_) {
        HRESULT hr = item->Update();
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

STDMETHODIMP Triggers::get_Item(VARIANT index, _Trigger** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    VARIANT number;
    VariantInit(&number);
    HRESULT hr = VariantChangeType(&number, &index, 0, VT_I4);
    if (FAILED(hr))
        return Fail(hr, L"Type mismatch");
    LONG position = V_I4(&number);
    if (position < 1 || static_cast<size_t>(position) > items_.size())
        return FailIndex();
    Trigger* item = items_[position - 1].Get();
    item->AddRef();
    *result = item;
    return S_OK;
}

STDMETHODIMP Triggers::get_Count(LONG* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<LONG>(items_.size());
    return S_OK;
}

STDMETHODIMP Triggers::Add(_Trigger** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    WORD index = 0;
    ComPtr<ITaskTrigger> created;
    HRESULT hr = Check(task_->CreateTrigger(&index, created.Receive()));
    if (FAILED(hr))
        return hr;
    ComPtr<Trigger> item;
    hr = Trigger::Create(task_.Get(), index, created.Get(), &item);
    if (FAILED(hr))
        return hr;
    item->ClearFlags();
    try {
        items_.push_back(item);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *result = item.Detach();
    return S_OK;
}

STDMETHODIMP Triggers::Remove(short index)
{
    if (index < 1 || static_cast<size_t>(index) > items_.size())
        return FailIndex();
    const size_t position = index - 1;
    ComPtr<Trigger> removed = items_[position];
    HRESULT hr = Check(task_->DeleteTrigger(removed->Index()));
    if (FAILED(hr))
        return hr;
    items_.erase(items_.begin() + position);
    removed->Detach();
    // The work item closed the gap: the triggers after the removed one moved down by one.
    // Without following them, saving the task would write each copy over its neighbour.
    for (const ComPtr<Trigger>& item : items_) {
        if (item->Index() > removed->Index()) {
            hr = Check(item->MoveTo(item->Index() - 1));
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

STDMETHODIMP Triggers::Update()
{
    WORD count = 0;
    HRESULT hr = Check(task_->GetTriggerCount(&count));
    if (FAILED(hr))
        return hr;
    std::vector<ComPtr<Trigger>> items;
    try {
        items.reserve(count);
        for (WORD index = 0; index < count; ++index) {
            ComPtr<ITaskTrigger> stored;
            hr = Check(task_->GetTrigger(index, stored.Receive()));
            if (FAILED(hr))
                return hr;
            ComPtr<Trigger> item;
            hr = Trigger::Create(task_.Get(), index, stored.Get(), &item);
            if (FAILED(hr))
                return hr;
            items.push_back(std::move(item));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    items_ = std::move(items);
    return S_OK;
}

STDMETHODIMP Triggers::NewEnum(IUnknown** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    ObjectList objects;
    try {
        for (const ComPtr<Trigger>& item : items_) {
            item->AddRef();
            objects.push_back(ComPtr<IDispatch>::Adopt(item.Get()));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return CreateObjectEnumerator(std::move(objects), result);
}

}  // namespace taskmere
