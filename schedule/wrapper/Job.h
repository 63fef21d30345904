// Job: one scheduled task, its triggers and the name it was created or enumerated under.
#pragma once

#include "AutomationObject.h"
#include "TypeLibrary.h"
#include "Triggers.h"

#include <mstask.h>

#include <string>

namespace taskmere {

class Job final : public AutomationObject<_Job> {
public:
    // Keeps the work item and loads its triggers.
    static HRESULT Create(ITask* task, ComPtr<Job>* result);
    // A task that is listed but whose work item could not be loaded: its name is known, every
    // member that needs the work item fails with `failure`.
    static HRESULT CreateUnloaded(HRESULT failure, ComPtr<Job>* result);

    Job(ITask* task, HRESULT failure);

    const std::wstring& StoredName() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    // The task's entry in the task scheduler ("name.job"), known even before a Refresh names
    // the job, so that a task just created can be deleted.
    const std::wstring& TaskFile() const { return taskFile_; }
    void SetTaskFile(std::wstring file) { taskFile_ = std::move(file); }

    STDMETHODIMP get_Triggers(_Triggers** result) override;
    STDMETHODIMP get_WorkingDirectory(BSTR* value) override;
    STDMETHODIMP put_WorkingDirectory(BSTR value) override;
    STDMETHODIMP get_Name(BSTR* value) override;
    STDMETHODIMP get_FileName(BSTR* value) override;
    STDMETHODIMP get_NextRunTime(DATE* value) override;
    STDMETHODIMP get_LastRunTime(DATE* value) override;
    STDMETHODIMP get_Status(LONG* value) override;
    STDMETHODIMP get_Priority(LONG* value) override;
    STDMETHODIMP put_Priority(LONG value) override;
    STDMETHODIMP get_MaxRunTime(LONG* value) override;
    STDMETHODIMP put_MaxRunTime(LONG value) override;
    STDMETHODIMP get_IdleWait(short* value) override;
    STDMETHODIMP put_IdleWait(short value) override;
    STDMETHODIMP get_Flags(saTaskFlags* value) override;
    STDMETHODIMP put_Flags(saTaskFlags value) override;
    STDMETHODIMP get_ExitCode(LONG* value) override;
    STDMETHODIMP get_ErrorRetryInterval(short* value) override;
    STDMETHODIMP put_ErrorRetryInterval(short value) override;
    STDMETHODIMP get_ErrorRetryCount(short* value) override;
    STDMETHODIMP put_ErrorRetryCount(short value) override;
    STDMETHODIMP get_Creator(BSTR* value) override;
    STDMETHODIMP put_Creator(BSTR value) override;
    STDMETHODIMP get_Comment(BSTR* value) override;
    STDMETHODIMP put_Comment(BSTR value) override;
    STDMETHODIMP get_CommandLine(BSTR* value) override;
    STDMETHODIMP put_CommandLine(BSTR value) override;
    STDMETHODIMP get_ApplicationName(BSTR* value) override;
    STDMETHODIMP put_ApplicationName(BSTR value) override;
    STDMETHODIMP Edit(IDispatch* parent) override;
    STDMETHODIMP Run() override;
    STDMETHODIMP Terminate() override;
    STDMETHODIMP Save(BSTR fileName) override;
    STDMETHODIMP ShowProperties() override;

private:
    ~Job() override = default;

    // S_OK when the work item is there, else the failure that kept it away (reported).
    HRESULT RequireTask() const;
    // A run time of the task as an automation date (0 when the task has none).
    HRESULT ReadRunTime(HRESULT (STDMETHODCALLTYPE ITask::*read)(SYSTEMTIME*), DATE* value);
    // The system's property sheet, or the component's own schedule dialog where there is none.
    HRESULT EditSchedule();
    HRESULT EditWithScheduleDialog();
    HRESULT SaveTask(LPCOLESTR fileName);
    // Wine's task scheduler service cannot start a task whose working folder is empty, so a task
    // without one is given its application's folder when it is saved.
    HRESULT FillWorkingDirectory();

    ComPtr<ITask> task_;
    HRESULT failure_;
    ComPtr<Triggers> triggers_;
    std::wstring name_;
    std::wstring taskFile_;
};

}  // namespace taskmere
