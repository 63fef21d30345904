#include "Job.h"

#include "AutomationValues.h"
#include "ScheduleChoice.h"
#include "ScheduleDialog.h"
#include "SharingRetry.h"

#include <string>

namespace taskmere {

HRESULT Job::Create(ITask* task, ComPtr<Job>* result)
{
    ComPtr<Job> job = MakeObject<Job>(task, S_OK);
    if (!job)
        return E_OUTOFMEMORY;
    HRESULT hr = Triggers::Create(task, &job->triggers_);
    if (FAILED(hr))
        return hr;
    *result = std::move(job);
    return S_OK;
}

HRESULT Job::CreateUnloaded(HRESULT failure, ComPtr<Job>* result)
{
    ComPtr<Job> job = MakeObject<Job>(nullptr, failure);
    if (!job)
        return E_OUTOFMEMORY;
    *result = std::move(job);
    return S_OK;
}

Job::Job(ITask* task, HRESULT failure) : failure_(failure)
{
    if (task) {
        task->AddRef();
        task_ = ComPtr<ITask>::Adopt(task);
    }
}

HRESULT Job::RequireTask() const
{
    return task_ ? S_OK : Check(failure_);
}

STDMETHODIMP Job::get_Triggers(_Triggers** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    triggers_->AddRef();
    *result = triggers_.Get();
    return S_OK;
}

// The string properties: read through the task allocator, write as given.
#define TASK_STRING_PROPERTY(Property, Getter, Setter)          \
    STDMETHODIMP Job::get_##Property(BSTR* value)               \
    {                                                           \
        if (!value)                                             \
            return E_POINTER;                                   \
        *value = nullptr;                                       \
        HRESULT hr = RequireTask();                             \
        if (FAILED(hr))                                         \
            return hr;                                          \
        LPWSTR text = nullptr;                                  \
        hr = task_->Getter(&text);                              \
        return Check(TakeTaskString(hr, text, value));          \
    }                                                           \
    STDMETHODIMP Job::put_##Property(BSTR value)                \
    {                                                           \
        HRESULT hr = RequireTask();                             \
        if (FAILED(hr))                                         \
            return hr;                                          \
        return Check(task_->Setter(value ? value : L""));       \
    }

TASK_STRING_PROPERTY(WorkingDirectory, GetWorkingDirectory, SetWorkingDirectory)
TASK_STRING_PROPERTY(Creator, GetCreator, SetCreator)
TASK_STRING_PROPERTY(Comment, GetComment, SetComment)
TASK_STRING_PROPERTY(CommandLine, GetParameters, SetParameters)
TASK_STRING_PROPERTY(ApplicationName, GetApplicationName, SetApplicationName)
#undef TASK_STRING_PROPERTY

STDMETHODIMP Job::get_Name(BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Job::get_FileName(BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    ComPtr<IPersistFile> file;
    hr = Check(task_->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
    if (FAILED(hr))
        return hr;
    LPOLESTR text = nullptr;
    hr = file->GetCurFile(&text);
    return Check(TakeTaskString(hr, text, value));
}

HRESULT Job::ReadRunTime(HRESULT (STDMETHODCALLTYPE ITask::*read)(SYSTEMTIME*), DATE* value)
{
    if (!value)
        return E_POINTER;
    *value = 0;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    SYSTEMTIME time{};
    hr = Check((task_.Get()->*read)(&time));
    if (FAILED(hr))
        return hr;
    *value = DateFromSystemTime(time);
    return S_OK;
}

STDMETHODIMP Job::get_NextRunTime(DATE* value)
{
    return ReadRunTime(&ITask::GetNextRunTime, value);
}

STDMETHODIMP Job::get_LastRunTime(DATE* value)
{
    return ReadRunTime(&ITask::GetMostRecentRunTime, value);
}

STDMETHODIMP Job::get_Status(LONG* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    HRESULT status = S_OK;
    hr = Check(task_->GetStatus(&status));
    if (FAILED(hr))
        return hr;
    *value = status;
    return S_OK;
}

// The numeric properties: one get/let pair over one getter and setter of the work item.
#define TASK_NUMBER_PROPERTY(Property, Type, Native, Getter, Setter) \
    STDMETHODIMP Job::get_##Property(Type* value)                   \
    {                                                               \
        if (!value)                                                 \
            return E_POINTER;                                       \
        HRESULT hr = RequireTask();                                 \
        if (FAILED(hr))                                             \
            return hr;                                              \
        Native stored = 0;                                          \
        hr = Check(task_->Getter(&stored));                         \
        if (FAILED(hr))                                             \
            return hr;                                              \
        *value = static_cast<Type>(stored);                         \
        return S_OK;                                                \
    }                                                               \
    STDMETHODIMP Job::put_##Property(Type value)                    \
    {                                                               \
        HRESULT hr = RequireTask();                                 \
        if (FAILED(hr))                                             \
            return hr;                                              \
        return Check(task_->Setter(static_cast<Native>(value)));    \
    }

TASK_NUMBER_PROPERTY(Priority, LONG, DWORD, GetPriority, SetPriority)
TASK_NUMBER_PROPERTY(MaxRunTime, LONG, DWORD, GetMaxRunTime, SetMaxRunTime)
TASK_NUMBER_PROPERTY(Flags, saTaskFlags, DWORD, GetFlags, SetFlags)
TASK_NUMBER_PROPERTY(ErrorRetryInterval, short, WORD, GetErrorRetryInterval, SetErrorRetryInterval)
TASK_NUMBER_PROPERTY(ErrorRetryCount, short, WORD, GetErrorRetryCount, SetErrorRetryCount)
#undef TASK_NUMBER_PROPERTY

STDMETHODIMP Job::get_IdleWait(short* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    WORD idle = 0, deadline = 0;
    hr = Check(task_->GetIdleWait(&idle, &deadline));
    if (FAILED(hr))
        return hr;
    *value = static_cast<short>(idle);
    return S_OK;
}

STDMETHODIMP Job::put_IdleWait(short value)
{
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    // Only the idle minutes are a property; the deadline keeps what the task has.
    WORD idle = 0, deadline = 0;
    hr = Check(task_->GetIdleWait(&idle, &deadline));
    if (FAILED(hr))
        return hr;
    return Check(task_->SetIdleWait(static_cast<WORD>(value), deadline));
}

STDMETHODIMP Job::get_ExitCode(LONG* value)
{
    if (!value)
        return E_POINTER;
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    DWORD code = 0;
    hr = Check(task_->GetExitCode(&code));
    if (FAILED(hr))
        return hr;
    *value = static_cast<LONG>(code);
    return S_OK;
}

STDMETHODIMP Job::Edit(IDispatch*)
{
    return EditSchedule();
}

STDMETHODIMP Job::ShowProperties()
{
    return EditSchedule();
}

STDMETHODIMP Job::Run()
{
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    return Check(task_->Run());
}

STDMETHODIMP Job::Terminate()
{
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    return Check(task_->Terminate());
}

STDMETHODIMP Job::Save(BSTR fileName)
{
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    // Changed trigger properties live in the Trigger objects until they are written back.
    hr = triggers_->UpdateEach();
    if (FAILED(hr))
        return hr;
    hr = FillWorkingDirectory();
    if (FAILED(hr))
        return hr;
    return SaveTask(fileName && fileName[0] ? fileName : nullptr);
}

HRESULT Job::SaveTask(LPCOLESTR fileName)
{
    ComPtr<IPersistFile> file;
    HRESULT hr = Check(task_->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
    if (FAILED(hr))
        return hr;
    return Check(RetryWhileShared([&] { return file->Save(fileName, FALSE); }));
}

HRESULT Job::FillWorkingDirectory()
{
    LPWSTR folder = nullptr;
    HRESULT hr = task_->GetWorkingDirectory(&folder);
    const bool empty = SUCCEEDED(hr) && (!folder || !folder[0]);
    CoTaskMemFree(folder);
    if (!empty)
        return S_OK;  // set, or unknown: left as it is
    LPWSTR application = nullptr;
    hr = task_->GetApplicationName(&application);
    if (FAILED(hr) || !application)
        return S_OK;
    std::wstring path;
    try {
        path = application;
    } catch (const std::bad_alloc&) {
        CoTaskMemFree(application);
        return E_OUTOFMEMORY;
    }
    CoTaskMemFree(application);
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0)
        return S_OK;  // a bare program name: no folder to offer
    path.resize(slash == 2 && path[1] == L':' ? 3 : slash);  // "C:\" keeps its backslash
    return Check(task_->SetWorkingDirectory(path.c_str()));
}

HRESULT Job::EditSchedule()
{
    HRESULT hr = RequireTask();
    if (FAILED(hr))
        return hr;
    hr = task_->EditWorkItem(nullptr, 0);
    if (hr == E_NOTIMPL)
        return EditWithScheduleDialog();
    return Check(hr);
}

HRESULT Job::EditWithScheduleDialog()
{
    // The dialog edits the task's first trigger, or a new one when the task has none yet.
    WORD count = 0;
    HRESULT hr = Check(task_->GetTriggerCount(&count));
    if (FAILED(hr))
        return hr;
    TASK_TRIGGER record{};
    record.cbTriggerSize = sizeof(record);
    ComPtr<ITaskTrigger> trigger;
    if (count > 0) {
        hr = Check(task_->GetTrigger(0, trigger.Receive()));
        if (FAILED(hr))
            return hr;
        hr = Check(trigger->GetTrigger(&record));
        if (FAILED(hr))
            return hr;
    } else {
        SYSTEMTIME now;
        GetLocalTime(&now);
        record = ScheduleChoice::DefaultTrigger(now);
    }
    DWORD flags = 0;
    hr = Check(task_->GetFlags(&flags));
    if (FAILED(hr))
        return hr;

    ScheduleChoice choice = ScheduleChoice::FromTrigger(record, (flags & TASK_FLAG_DISABLED) == 0);
    hr = ShowScheduleDialog(nullptr, &choice);
    if (hr != S_OK)
        return hr == S_FALSE ? S_OK : Fail(hr, L"The schedule dialog could not be shown");

    if (!trigger) {
        WORD index = 0;
        hr = Check(task_->CreateTrigger(&index, trigger.Receive()));
        if (FAILED(hr))
            return hr;
    }
    choice.ApplyTo(&record);
    hr = Check(trigger->SetTrigger(&record));
    if (FAILED(hr))
        return hr;
    DWORD newFlags = choice.enabled ? (flags & ~TASK_FLAG_DISABLED) : (flags | TASK_FLAG_DISABLED);
    hr = Check(task_->SetFlags(newFlags));
    if (FAILED(hr))
        return hr;
    hr = SaveTask(nullptr);
    if (FAILED(hr))
        return hr;
    // The Trigger objects still hold the old records; a later Save must not write them back.
    return triggers_->Update();
}

}  // namespace taskmere
