// Trigger: one trigger of a task as typed properties over its own copy of the trigger record.
// Properties read and change only the copy; Update writes it to the work item.
#pragma once

#include "AutomationObject.h"
#include "TypeLibrary.h"

#include <mstask.h>

#include <initializer_list>

namespace taskmere {

class Trigger final : public AutomationObject<_Trigger> {
public:
    // Keeps the trigger and the work item and reads the record.
    static HRESULT Create(ITask* task, WORD index, ITaskTrigger* trigger, ComPtr<Trigger>* result);

    Trigger(ITask* task, WORD index, ITaskTrigger* trigger);

    WORD Index() const { return index_; }
    // Keeps the copy (it may hold changes not written yet) and refers to the work item's trigger
    // at `index` from now on. Used when an earlier trigger of the work item is deleted.
    HRESULT MoveTo(WORD index);
    // The work item's trigger is deleted: Update and Refresh fail from now on.
    void Detach();
    void ClearFlags() { record_.rgFlags = 0; }

    STDMETHODIMP get_StartTime(DATE* value) override;
    STDMETHODIMP put_StartTime(DATE value) override;
    STDMETHODIMP get_RandomInterval(short* value) override;
    STDMETHODIMP put_RandomInterval(short value) override;
    STDMETHODIMP get_EndDay(DATE* value) override;
    STDMETHODIMP put_EndDay(DATE value) override;
    STDMETHODIMP get_BeginDay(DATE* value) override;
    STDMETHODIMP put_BeginDay(DATE value) override;
    STDMETHODIMP get_Flags(saTriggerFlags* value) override;
    STDMETHODIMP put_Flags(saTriggerFlags value) override;
    STDMETHODIMP get_Interval(LONG* value) override;
    STDMETHODIMP put_Interval(LONG value) override;
    STDMETHODIMP get_Duration(LONG* value) override;
    STDMETHODIMP put_Duration(LONG value) override;
    STDMETHODIMP get_TriggerType(saTriggerTypes* value) override;
    STDMETHODIMP put_TriggerType(saTriggerTypes value) override;
    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP get_WeeksInterval(short* value) override;
    STDMETHODIMP put_WeeksInterval(short value) override;
    STDMETHODIMP get_Week(saTriggerWeeks* value) override;
    STDMETHODIMP put_Week(saTriggerWeeks value) override;
    STDMETHODIMP get_DaysOfTheWeek(saTriggerDays* value) override;
    STDMETHODIMP put_DaysOfTheWeek(saTriggerDays value) override;
    STDMETHODIMP get_Months(saTriggerMonths* value) override;
    STDMETHODIMP put_Months(saTriggerMonths value) override;
    STDMETHODIMP get_Day(short* value) override;
    STDMETHODIMP put_Day(short value) override;
    STDMETHODIMP get_DaysInterval(short* value) override;
    STDMETHODIMP put_DaysInterval(short value) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Update() override;

private:
    ~Trigger() override = default;

    // Fails with "Invalid trigger type" unless the record's type is one of `types`.
    HRESULT RequireType(std::initializer_list<TASK_TRIGGER_TYPE> types) const;
    HRESULT RequireAttached() const;
    // Stores a 16-bit mask given as a 32-bit number.
    HRESULT StoreMask(long value, WORD* field);

    ComPtr<ITask> task_;
    WORD index_;
    ComPtr<ITaskTrigger> trigger_;
    bool attached_ = true;
    TASK_TRIGGER record_{};
};

}  // namespace taskmere
