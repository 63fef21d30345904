// Calls automation objects the way a late-bound client does: members by name through
// IDispatch::GetIDsOfNames and Invoke, with the error a client would see.
#pragma once

#include "common/ScopedWin.h"

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>

namespace test {

// "0x80040001": HRESULTs printed the way they are documented.
std::string Hex(HRESULT value);
std::string Narrow(const std::wstring& text);

// An owned VARIANT.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(long number);
    Variant(int number) : Variant(static_cast<long>(number)) {}
    Variant(const wchar_t* text);
    Variant(IDispatch* object);
    static Variant Date(DATE value);
    static Variant Missing();  // an optional argument left out
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);

    VARTYPE Type() const { return V_VT(&value_); }
    long Long() const;  // converted; -99999 when it does not convert
    double Double() const;
    std::string Text() const;
    ComPtr<IDispatch> Object() const;
    VARIANT* Get() { return &value_; }
    const VARIANT* Get() const { return &value_; }

private:
    VARIANT value_;
};

struct Outcome {
    HRESULT hr = E_FAIL;      // what Invoke returned
    HRESULT error = E_FAIL;   // the member's error: EXCEPINFO's scode when Invoke says so
    std::string description;  // EXCEPINFO's description
    Variant value;

    bool Ok() const { return hr == S_OK; }
};

class Automation {
public:
    Automation() = default;
    explicit Automation(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    explicit Automation(const Variant& value) : object_(value.Object()) {}

    Outcome Get(const wchar_t* name, std::initializer_list<Variant> args = {}) const;
    Outcome Put(const wchar_t* name, const Variant& value) const;
    Outcome Call(const wchar_t* name, std::initializer_list<Variant> args = {}) const;
    // The same by DISPID, as clients with a compiled-in member table call.
    Outcome InvokeId(DISPID id, WORD flags, std::initializer_list<Variant> args = {}) const;

    // Shortcuts for members that must work: a failure fails the test in the helper.
    Automation Object(const wchar_t* name, std::initializer_list<Variant> args = {}) const;
    long Long(const wchar_t* name) const;
    std::string Text(const wchar_t* name) const;

    IDispatch* Get() const { return object_.Get(); }
    explicit operator bool() const { return static_cast<bool>(object_); }

private:
    Outcome Invoke(DISPID id, WORD flags, std::initializer_list<Variant> args) const;
    DISPID IdOf(const wchar_t* name) const;

    ComPtr<IDispatch> object_;
};

}  // namespace test
