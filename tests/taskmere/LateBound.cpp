#include "LateBound.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <vector>

namespace test {

std::string Hex(HRESULT value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size,
                        nullptr, nullptr);
    return result;
}

Variant::Variant(long number) : Variant()
{
    V_VT(&value_) = VT_I4;
    V_I4(&value_) = number;
}

Variant::Variant(const wchar_t* text) : Variant()
{
    V_VT(&value_) = VT_BSTR;
    V_BSTR(&value_) = SysAllocString(text);
}

Variant::Variant(IDispatch* object) : Variant()
{
    V_VT(&value_) = VT_DISPATCH;
    V_DISPATCH(&value_) = object;
    if (object)
        object->AddRef();
}

Variant Variant::Date(DATE value)
{
    Variant result;
    V_VT(&result.value_) = VT_DATE;
    V_DATE(&result.value_) = value;
    return result;
}

Variant Variant::Missing()
{
    Variant result;
    V_VT(&result.value_) = VT_ERROR;
    V_ERROR(&result.value_) = DISP_E_PARAMNOTFOUND;
    return result;
}

Variant::Variant(const Variant& other) : Variant()
{
    VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other)
        VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    return *this;
}

long Variant::Long() const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_I4)))
        return -99999;
    return V_I4(&converted);
}

double Variant::Double() const
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_R8)))
        return -99999;
    return V_R8(&converted);
}

std::string Variant::Text() const
{
    if (V_VT(&value_) != VT_BSTR)
        return "<not a string: type " + std::to_string(V_VT(&value_)) + ">";
    return Narrow(V_BSTR(&value_) ? V_BSTR(&value_) : L"");
}

ComPtr<IDispatch> Variant::Object() const
{
    ComPtr<IDispatch> object;
    if (V_VT(&value_) == VT_DISPATCH && V_DISPATCH(&value_)) {
        V_DISPATCH(&value_)->AddRef();
        object = ComPtr<IDispatch>::Adopt(V_DISPATCH(&value_));
    }
    return object;
}

DISPID Automation::IdOf(const wchar_t* name) const
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return DISPID_UNKNOWN;
    return id;
}

Outcome Automation::Invoke(DISPID id, WORD flags, std::initializer_list<Variant> args) const
{
    Outcome outcome;
    if (!object_) {
        outcome.hr = outcome.error = E_POINTER;
        return outcome;
    }
    // Arguments go in reverse order.
    std::vector<VARIANT> reversed(args.size());
    size_t i = args.size();
    for (const Variant& arg : args)
        reversed[--i] = *arg.Get();
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    outcome.hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                 outcome.value.Get(), &exception, &badArgument);
    outcome.error = outcome.hr;
    if (outcome.hr == DISP_E_EXCEPTION) {
        outcome.error = exception.scode;
        if (exception.bstrDescription)
            outcome.description = Narrow(exception.bstrDescription);
    }
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

Outcome Automation::InvokeId(DISPID id, WORD flags, std::initializer_list<Variant> args) const
{
    return Invoke(id, flags, args);
}

Outcome Automation::Get(const wchar_t* name, std::initializer_list<Variant> args) const
{
    return Invoke(IdOf(name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

Outcome Automation::Put(const wchar_t* name, const Variant& value) const
{
    return Invoke(IdOf(name), DISPATCH_PROPERTYPUT, {value});
}

Outcome Automation::Call(const wchar_t* name, std::initializer_list<Variant> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD, args);
}

Automation Automation::Object(const wchar_t* name, std::initializer_list<Variant> args) const
{
    Outcome outcome = Get(name, args);
    INFO("getting ", Narrow(name), ": ", Hex(outcome.error), " ", outcome.description);
    REQUIRE(outcome.hr == S_OK);
    return Automation(outcome.value);
}

long Automation::Long(const wchar_t* name) const
{
    Outcome outcome = Get(name);
    INFO("getting ", Narrow(name), ": ", Hex(outcome.error), " ", outcome.description);
    CHECK(outcome.hr == S_OK);
    return outcome.value.Long();
}

std::string Automation::Text(const wchar_t* name) const
{
    Outcome outcome = Get(name);
    INFO("getting ", Narrow(name), ": ", Hex(outcome.error), " ", outcome.description);
    CHECK(outcome.hr == S_OK);
    return outcome.value.Text();
}

}  // namespace test
