// Triggers: the 1-based collection of one task's triggers.
#pragma once

#include "AutomationObject.h"
#include "TypeLibrary.h"
#include "Trigger.h"

#include <mstask.h>

#include <vector>

namespace taskmere {

class Triggers final : public AutomationObject<_Triggers> {
public:
    // Makes the collection for `task` and loads its triggers.
    static HRESULT Create(ITask* task, ComPtr<Triggers>* result);

    explicit Triggers(ITask* task);

    // Writes every trigger's record to the work item (before the task is saved).
    HRESULT UpdateEach();

    STDMETHODIMP get_Item(VARIANT index, _Trigger** result) override;
    STDMETHODIMP get_Count(LONG* value) override;
    STDMETHODIMP Add(_Trigger** result) override;
    STDMETHODIMP Remove(short index) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP NewEnum(IUnknown** result) override;

private:
    ~Triggers() override = default;

    ComPtr<ITask> task_;
    std::vector<ComPtr<Trigger>> items_;
};

}  // namespace taskmere
