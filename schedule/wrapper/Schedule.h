// Schedule: the creatable collection of the machine's scheduled tasks.
#pragma once

#include "AutomationObject.h"
#include "Job.h"
#include "TypeLibrary.h"

#include <mstask.h>

#include <vector>

namespace taskmere {

// The create function of the class factory's table.
HRESULT CreateSchedule(REFIID iid, void** object);

class Schedule final : public AutomationObject<_Schedule> {
public:
    Schedule() = default;
    HRESULT Initialize();

    STDMETHODIMP get_Job(short index, _Job** result) override;
    STDMETHODIMP get_Count(LONG* value) override;
    STDMETHODIMP get_TargetComputer(BSTR* value) override;
    STDMETHODIMP put_TargetComputer(BSTR value) override;
    STDMETHODIMP CreateTask(BSTR name, _Job** result) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Delete(short index) override;
    STDMETHODIMP NewEnum(IUnknown** result) override;

private:
    ~Schedule() override = default;

    ComPtr<ITaskScheduler> scheduler_;
    std::vector<ComPtr<Job>> jobs_;
    LONG count_ = 0;
};

}  // namespace taskmere
