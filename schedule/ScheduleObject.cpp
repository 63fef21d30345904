#include "schedule/ScheduleObject.h"

#include "common/CodePage.h"
#include "common/SystemError.h"
#include "lang/MessageText.h"

#include <oleauto.h>

#include <initializer_list>
#include <vector>

namespace {

// An owned VARIANT argument or result.
class Value {
public:
    Value() { VariantInit(&value_); }
    ~Value() { VariantClear(&value_); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    static void Text(Value& value, const std::string& text)
    {
        std::wstring wide = CodePage::Widen(text);
        V_VT(&value.value_) = VT_BSTR;
        V_BSTR(&value.value_) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    // Indexes are 16-bit integers, as the component declares them.
    static void Index(Value& value, long index)
    {
        V_VT(&value.value_) = VT_I2;
        V_I2(&value.value_) = static_cast<SHORT>(index);
    }

    VARIANT* Get() { return &value_; }
    bool IsText() const { return V_VT(&value_) == VT_BSTR; }
    std::string AsText() const
    {
        std::string text;
        if (IsText() && V_BSTR(&value_))
            CodePage::Narrow(std::wstring(V_BSTR(&value_), SysStringLen(V_BSTR(&value_))), text);
        return text;  // a character the code page lacks is a '?' (never a look-alike)
    }

private:
    VARIANT value_;
};

// The error information the failed member left, when the call did not carry it.
std::string ThreadErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Receive()) != S_OK || !info)
        return std::string();
    BSTR description = nullptr;
    std::string text;
    if (SUCCEEDED(info->GetDescription(&description)) && description)
        CodePage::Narrow(std::wstring(description, SysStringLen(description)), text);
    SysFreeString(description);
    return text;
}

// Calls `member` of `object` with `arguments` (in their order) and `flags`; `result` may be null.
ComponentResult Call(IDispatch* object, const wchar_t* member, WORD flags, std::initializer_list<Value*> arguments,
                     Value* result)
{
    ComponentResult outcome;
    if (!object) {
        outcome.error = E_POINTER;
        return outcome;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    outcome.error = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(outcome.error))
        return outcome;

    // Automation takes the arguments last first.
    std::vector<VARIANT> reversed(arguments.size());
    size_t at = arguments.size();
    for (Value* argument : arguments)
        reversed[--at] = *argument->Get();
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                result ? result->Get() : nullptr, &exception, &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn)
            exception.pfnDeferredFillIn(&exception);  // fills the record in; nothing else to check
        outcome.error = exception.scode ? exception.scode : E_FAIL;
        if (exception.bstrDescription)
            CodePage::Narrow(std::wstring(exception.bstrDescription, SysStringLen(exception.bstrDescription)),
                             outcome.description);
    } else {
        outcome.error = hr;
        if (FAILED(hr))
            outcome.description = ThreadErrorDescription();
    }
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

ComponentResult GetText(IDispatch* object, const wchar_t* member, std::string& text)
{
    Value result;
    ComponentResult outcome = Call(object, member, DISPATCH_PROPERTYGET, {}, &result);
    if (outcome.Ok() && !result.IsText())
        outcome.error = DISP_E_TYPEMISMATCH;
    text = outcome.Ok() ? result.AsText() : std::string();
    return outcome;
}

ComponentResult PutText(IDispatch* object, const wchar_t* member, const std::string& text)
{
    Value value;
    Value::Text(value, text);
    return Call(object, member, DISPATCH_PROPERTYPUT, {&value}, nullptr);
}

ComponentResult GetJob(IDispatch* object, const wchar_t* member, WORD flags, std::initializer_list<Value*> arguments,
                       ScheduledJob& job)
{
    job = ScheduledJob();
    Value result;
    ComponentResult outcome = Call(object, member, flags, arguments, &result);
    if (!outcome.Ok())
        return outcome;
    VARIANT* value = result.Get();
    if (V_VT(value) != VT_DISPATCH || !V_DISPATCH(value)) {
        outcome.error = DISP_E_TYPEMISMATCH;
        return outcome;
    }
    job = ScheduledJob(ComPtr<IDispatch>::Share(V_DISPATCH(value)));
    return outcome;
}

}  // namespace

std::string ComponentResult::Text() const
{
    std::string words = description.empty() ? SystemErrorText(static_cast<unsigned long>(error)) : description;
    return words + " (0x" + MessageText::Hex8(static_cast<unsigned long>(error)) + ")";
}

ComponentResult ScheduledJob::Name(std::string& name) const
{
    return GetText(job_.Get(), L"Name", name);
}

ComponentResult ScheduledJob::Creator(std::string& creator) const
{
    return GetText(job_.Get(), L"Creator", creator);
}

ComponentResult ScheduledJob::CommandLine(std::string& line) const
{
    return GetText(job_.Get(), L"CommandLine", line);
}

ComponentResult ScheduledJob::SetCreator(const std::string& creator) const
{
    return PutText(job_.Get(), L"Creator", creator);
}

ComponentResult ScheduledJob::SetApplicationName(const std::string& path) const
{
    return PutText(job_.Get(), L"ApplicationName", path);
}

ComponentResult ScheduledJob::SetCommandLine(const std::string& line) const
{
    return PutText(job_.Get(), L"CommandLine", line);
}

ComponentResult ScheduledJob::Save() const
{
    Value ownFile;
    Value::Text(ownFile, std::string());  // an empty file name: the task's own file
    return Call(job_.Get(), L"Save", DISPATCH_METHOD, {&ownFile}, nullptr);
}

ComponentResult ScheduledJob::ShowProperties() const
{
    return Call(job_.Get(), L"ShowProperties", DISPATCH_METHOD, {}, nullptr);
}

ComponentResult ScheduledJob::Run() const
{
    return Call(job_.Get(), L"Run", DISPATCH_METHOD, {}, nullptr);
}

ComponentResult ScheduleObject::Refresh() const
{
    return Call(schedule_, L"Refresh", DISPATCH_METHOD, {}, nullptr);
}

ComponentResult ScheduleObject::Count(long& count) const
{
    count = 0;
    Value result;
    ComponentResult outcome = Call(schedule_, L"Count", DISPATCH_PROPERTYGET, {}, &result);
    if (!outcome.Ok())
        return outcome;
    Value converted;
    outcome.error = VariantChangeType(converted.Get(), result.Get(), 0, VT_I4);
    if (outcome.Ok())
        count = V_I4(converted.Get());
    return outcome;
}

ComponentResult ScheduleObject::Job(long index, ScheduledJob& job) const
{
    Value position;
    Value::Index(position, index);
    return GetJob(schedule_, L"Job", DISPATCH_PROPERTYGET, {&position}, job);
}

ComponentResult ScheduleObject::CreateTask(const std::string& name, ScheduledJob& job) const
{
    Value taskName;
    Value::Text(taskName, name);
    return GetJob(schedule_, L"CreateTask", DISPATCH_METHOD, {&taskName}, job);
}

ComponentResult ScheduleObject::Delete(long index) const
{
    Value position;
    Value::Index(position, index);
    return Call(schedule_, L"Delete", DISPATCH_METHOD, {&position}, nullptr);
}
