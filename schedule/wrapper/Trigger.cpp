#include "Trigger.h"

#include "AutomationValues.h"
#include "TriggerText.h"

#include <new>
#include <string>

namespace taskmere {

HRESULT Trigger::Create(ITask* task, WORD index, ITaskTrigger* trigger, ComPtr<Trigger>* result)
{
    ComPtr<Trigger> object = MakeObject<Trigger>(task, index, trigger);
    if (!object)
        return E_OUTOFMEMORY;
    HRESULT hr = object->Refresh();
    if (FAILED(hr))
        return hr;
    *result = std::move(object);
    return S_OK;
}

Trigger::Trigger(ITask* task, WORD index, ITaskTrigger* trigger) : index_(index)
{
    task->AddRef();
    task_ = ComPtr<ITask>::Adopt(task);
    trigger->AddRef();
    trigger_ = ComPtr<ITaskTrigger>::Adopt(trigger);
    record_.cbTriggerSize = sizeof(record_);
}

HRESULT Trigger::MoveTo(WORD index)
{
    ComPtr<ITaskTrigger> trigger;
    HRESULT hr = task_->GetTrigger(index, trigger.Receive());
    if (FAILED(hr))
        return hr;
    trigger_ = std::move(trigger);
    index_ = index;
    return S_OK;
}

void Trigger::Detach()
{
    attached_ = false;
}

HRESULT Trigger::RequireType(std::initializer_list<TASK_TRIGGER_TYPE> types) const
{
    for (TASK_TRIGGER_TYPE type : types) {
        if (record_.TriggerType == type)
            return S_OK;
    }
    return Fail(kInvalidTriggerType, L"Invalid trigger type");
}

HRESULT Trigger::RequireAttached() const
{
    if (attached_)
        return S_OK;
    return Fail(SCHED_E_TRIGGER_NOT_FOUND, L"The trigger was removed from its task");
}

HRESULT Trigger::StoreMask(long value, WORD* field)
{
    if (!FitsInteger(value))
        return Fail(kOverflow, L"Overflow");
    *field = static_cast<WORD>(static_cast<short>(value));
    return S_OK;
}

STDMETHODIMP Trigger::Refresh()
{
    HRESULT hr = RequireAttached();
    if (FAILED(hr))
        return hr;
    TASK_TRIGGER record{};
    record.cbTriggerSize = sizeof(record);
    hr = Check(trigger_->GetTrigger(&record));
    if (FAILED(hr))
        return hr;
    record_ = record;
    return S_OK;
}

STDMETHODIMP Trigger::Update()
{
    HRESULT hr = RequireAttached();
    if (FAILED(hr))
        return hr;
    record_.cbTriggerSize = sizeof(record_);
    hr = Check(trigger_->SetTrigger(&record_));
    if (FAILED(hr))
        return hr;
    return Refresh();
}

STDMETHODIMP Trigger::get_StartTime(DATE* value)
{
    if (!value)
        return E_POINTER;
    *value = TimeOfDay(record_.wStartHour, record_.wStartMinute);
    return S_OK;
}

STDMETHODIMP Trigger::put_StartTime(DATE value)
{
    WORD hour, minute;
    if (!SplitTimeOfDay(value, &hour, &minute))
        return Fail(E_INVALIDARG, L"Invalid time");
    record_.wStartHour = hour;
    record_.wStartMinute = minute;
    return S_OK;
}

STDMETHODIMP Trigger::get_RandomInterval(short* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<short>(record_.wRandomMinutesInterval);
    return S_OK;
}

STDMETHODIMP Trigger::put_RandomInterval(short value)
{
    record_.wRandomMinutesInterval = static_cast<WORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_EndDay(DATE* value)
{
    if (!value)
        return E_POINTER;
    *value = DateFromParts(record_.wEndYear, record_.wEndMonth, record_.wEndDay);
    return S_OK;
}

STDMETHODIMP Trigger::put_EndDay(DATE value)
{
    WORD year, month, day;
    if (!SplitDate(value, &year, &month, &day))
        return Fail(E_INVALIDARG, L"Invalid date");
    record_.wEndYear = year;
    record_.wEndMonth = month;
    record_.wEndDay = day;
    return S_OK;
}

STDMETHODIMP Trigger::get_BeginDay(DATE* value)
{
    if (!value)
        return E_POINTER;
    *value = DateFromParts(record_.wBeginYear, record_.wBeginMonth, record_.wBeginDay);
    return S_OK;
}

STDMETHODIMP Trigger::put_BeginDay(DATE value)
{
    WORD year, month, day;
    if (!SplitDate(value, &year, &month, &day))
        return Fail(E_INVALIDARG, L"Invalid date");
    record_.wBeginYear = year;
    record_.wBeginMonth = month;
    record_.wBeginDay = day;
    return S_OK;
}

STDMETHODIMP Trigger::get_Flags(saTriggerFlags* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<saTriggerFlags>(record_.rgFlags);
    return S_OK;
}

STDMETHODIMP Trigger::put_Flags(saTriggerFlags value)
{
    record_.rgFlags = static_cast<DWORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_Interval(LONG* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<LONG>(record_.MinutesInterval);
    return S_OK;
}

STDMETHODIMP Trigger::put_Interval(LONG value)
{
    record_.MinutesInterval = static_cast<DWORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_Duration(LONG* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<LONG>(record_.MinutesDuration);
    return S_OK;
}

STDMETHODIMP Trigger::put_Duration(LONG value)
{
    record_.MinutesDuration = static_cast<DWORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_TriggerType(saTriggerTypes* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<saTriggerTypes>(record_.TriggerType);
    return S_OK;
}

STDMETHODIMP Trigger::put_TriggerType(saTriggerTypes value)
{
    record_.TriggerType = static_cast<TASK_TRIGGER_TYPE>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_Text(BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    HRESULT hr = RequireAttached();
    if (FAILED(hr))
        return hr;
    LPWSTR text = nullptr;
    hr = task_->GetTriggerString(index_, &text);
    if (hr != E_NOTIMPL)
        return Check(TakeTaskString(hr, text, value));

    // No description from the system: describe the stored trigger ourselves.
    CoTaskMemFree(text);
    ComPtr<ITaskTrigger> stored;
    hr = Check(task_->GetTrigger(index_, stored.Receive()));
    if (FAILED(hr))
        return hr;
    TASK_TRIGGER record{};
    record.cbTriggerSize = sizeof(record);
    hr = Check(stored->GetTrigger(&record));
    if (FAILED(hr))
        return hr;
    try {
        std::wstring description = DescribeTrigger(record);
        *value = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;  // exceptions stay on this side of the interface
    }
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Trigger::get_WeeksInterval(short* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_WEEKLY});
    if (FAILED(hr))
        return hr;
    *value = static_cast<short>(record_.Type.Weekly.WeeksInterval);
    return S_OK;
}

STDMETHODIMP Trigger::put_WeeksInterval(short value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_WEEKLY});
    if (FAILED(hr))
        return hr;
    record_.Type.Weekly.WeeksInterval = static_cast<WORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_Week(saTriggerWeeks* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    *value = static_cast<saTriggerWeeks>(static_cast<short>(record_.Type.MonthlyDOW.wWhichWeek));
    return S_OK;
}

STDMETHODIMP Trigger::put_Week(saTriggerWeeks value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    return StoreMask(value, &record_.Type.MonthlyDOW.wWhichWeek);
}

STDMETHODIMP Trigger::get_DaysOfTheWeek(saTriggerDays* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_WEEKLY, TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    WORD mask = record_.TriggerType == TASK_TIME_TRIGGER_WEEKLY
                    ? record_.Type.Weekly.rgfDaysOfTheWeek
                    : record_.Type.MonthlyDOW.rgfDaysOfTheWeek;
    *value = static_cast<saTriggerDays>(static_cast<short>(mask));
    return S_OK;
}

STDMETHODIMP Trigger::put_DaysOfTheWeek(saTriggerDays value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_WEEKLY, TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    return StoreMask(value, record_.TriggerType == TASK_TIME_TRIGGER_WEEKLY
                                ? &record_.Type.Weekly.rgfDaysOfTheWeek
                                : &record_.Type.MonthlyDOW.rgfDaysOfTheWeek);
}

STDMETHODIMP Trigger::get_Months(saTriggerMonths* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDATE, TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    WORD mask = record_.TriggerType == TASK_TIME_TRIGGER_MONTHLYDATE
                    ? record_.Type.MonthlyDate.rgfMonths
                    : record_.Type.MonthlyDOW.rgfMonths;
    *value = static_cast<saTriggerMonths>(static_cast<short>(mask));
    return S_OK;
}

STDMETHODIMP Trigger::put_Months(saTriggerMonths value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDATE, TASK_TIME_TRIGGER_MONTHLYDOW});
    if (FAILED(hr))
        return hr;
    return StoreMask(value, record_.TriggerType == TASK_TIME_TRIGGER_MONTHLYDATE
                                ? &record_.Type.MonthlyDate.rgfMonths
                                : &record_.Type.MonthlyDOW.rgfMonths);
}

STDMETHODIMP Trigger::get_Day(short* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDATE});
    if (FAILED(hr))
        return hr;
    *value = static_cast<short>(LOWORD(record_.Type.MonthlyDate.rgfDays));
    return S_OK;
}

STDMETHODIMP Trigger::put_Day(short value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_MONTHLYDATE});
    if (FAILED(hr))
        return hr;
    // Only days 1 to 16 are reachable through a 16-bit number; days 17 to 31 stay as they are
    // rather than being set by the sign of a negative value.
    DWORD& days = record_.Type.MonthlyDate.rgfDays;
    days = (days & 0xFFFF0000u) | static_cast<WORD>(value);
    return S_OK;
}

STDMETHODIMP Trigger::get_DaysInterval(short* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_DAILY});
    if (FAILED(hr))
        return hr;
    *value = static_cast<short>(record_.Type.Daily.DaysInterval);
    return S_OK;
}

STDMETHODIMP Trigger::put_DaysInterval(short value)
{
    HRESULT hr = RequireType({TASK_TIME_TRIGGER_DAILY});
    if (FAILED(hr))
        return hr;
    record_.Type.Daily.DaysInterval = static_cast<WORD>(value);
    return S_OK;
}

}  // namespace taskmere
