// The shared half of every Taskmere object: the common reference counting (common/ComObject.h)
// with a QueryInterface for its one dual interface, IDispatch answered by the type library's ITypeInfo,
// and ISupportErrorInfo so clients look for the rich error information the members set.
#pragma once

#include "Module.h"
#include "common/ComObject.h"
#include "common/ScopedWin.h"

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <utility>

namespace taskmere {

template <typename Interface>
class AutomationObject : public com::Object<AutomationObject<Interface>, Interface, ISupportErrorInfo> {
public:
    static const com::InterfaceEntry* Interfaces()
    {
        static const com::InterfaceEntry entries[] = {
            {&IID_IUnknown, com::As<AutomationObject, Interface>},
            {&IID_IDispatch, com::As<AutomationObject, Interface>},
            {&__uuidof(Interface), com::As<AutomationObject, Interface>},
            {&IID_ISupportErrorInfo, com::As<AutomationObject, ISupportErrorInfo>},
            {nullptr, nullptr},
        };
        return entries;
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        HRESULT hr = LoadTypeInfo();
        if (FAILED(hr))
            return hr;
        typeInfo_->AddRef();
        *info = typeInfo_.Get();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        HRESULT hr = LoadTypeInfo();
        if (FAILED(hr))
            return hr;
        return DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        HRESULT hr = LoadTypeInfo();
        if (FAILED(hr))
            return hr;
        // A member that fails sets its own error information; clear what an earlier call left.
        SetErrorInfo(0, nullptr);
        return DispInvoke(static_cast<Interface*>(this), typeInfo_.Get(), id, flags, params, result,
                          exception, badArgument);
    }

    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

protected:
    AutomationObject() = default;

    HRESULT Fail(HRESULT error, const wchar_t* description) const
    {
        return ReportError(error, description, __uuidof(Interface));
    }
    // Passes a failure of the task scheduler through with its own text; success passes unchanged.
    HRESULT Check(HRESULT hr) const
    {
        return FAILED(hr) ? ReportSystemError(hr, __uuidof(Interface)) : hr;
    }
    HRESULT FailIndex() const { return Fail(kSubscriptOutOfRange, L"Subscript out of range"); }

private:
    HRESULT LoadTypeInfo()
    {
        if (typeInfo_)
            return S_OK;
        return GetInterfaceTypeInfo(__uuidof(Interface), typeInfo_.Receive());
    }

    ComPtr<ITypeInfo> typeInfo_;
};

// Creates an object of class T with the given arguments, or gives null when memory runs out. The
// new object holds the one reference its creator owns.
template <typename T, typename... Args>
ComPtr<T> MakeObject(Args&&... args)
{
    return ComPtr<T>::Adopt(new (std::nothrow) T(std::forward<Args>(args)...));
}

}  // namespace taskmere
