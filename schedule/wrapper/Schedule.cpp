#include "Schedule.h"

#include "AutomationValues.h"
#include "ObjectEnumerator.h"
#include "SharingRetry.h"

#include <new>
#include <string>

namespace taskmere {
namespace {

// Tasks are enumerated by their file names ("X.job"). Some task schedulers accept only the bare
// name ("X") in Activate and Delete and refuse the file name as an invalid argument; `call` is
// tried with the file name first and then with the bare name.
template <typename Call>
HRESULT CallWithTaskName(const std::wstring& file, Call call)
{
    HRESULT hr = call(file.c_str());
    const size_t extension = 4;  // ".job"
    if (hr != E_INVALIDARG || file.size() <= extension ||
        _wcsicmp(file.c_str() + file.size() - extension, L".job") != 0)
        return hr;
    try {
        std::wstring bare(file, 0, file.size() - extension);
        return call(bare.c_str());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Why `name` cannot name a task, or null when it can. A task is the file named by the name and
// ".job" in the Tasks folder of the Windows folder, and its full path must fit a path buffer:
// the task scheduler builds that path in one of that size and writes past its end for a longer
// name.
const wchar_t* TaskNameProblem(const wchar_t* name)
{
    if (!name || !name[0])
        return L"The task name is empty";
    for (const wchar_t* at = name; *at; ++at) {
        if (*at < 0x20 || wcschr(L"\\/:*?\"<>|", *at))
            return L"The task name holds a character that a file name cannot hold";
    }
    wchar_t windows[MAX_PATH];
    UINT folder = GetWindowsDirectoryW(windows, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH)
        folder = MAX_PATH - 1;  // unknown: no name fits, rather than one that overruns
    const size_t around = wcslen(L"\\Tasks\\") + wcslen(L".job") + 1;
    if (folder + around + wcslen(name) > MAX_PATH)
        return L"The task name is too long for the name of a task file";
    return nullptr;
}

}  // namespace

HRESULT CreateSchedule(REFIID iid, void** object)
{
    ComPtr<Schedule> schedule = MakeObject<Schedule>();
    if (!schedule)
        return E_OUTOFMEMORY;
    HRESULT hr = schedule->Initialize();
    if (FAILED(hr))
        return hr;
    return schedule->QueryInterface(iid, object);
}

HRESULT Schedule::Initialize()
{
    return CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                            scheduler_.ReceiveVoid());
}

STDMETHODIMP Schedule::get_Job(short index, _Job** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (index < 1 || static_cast<size_t>(index) > jobs_.size())
        return FailIndex();
    Job* job = jobs_[index - 1].Get();
    job->AddRef();
    *result = job;
    return S_OK;
}

STDMETHODIMP Schedule::get_Count(LONG* value)
{
    if (!value)
        return E_POINTER;
    *value = count_;
    return S_OK;
}

STDMETHODIMP Schedule::get_TargetComputer(BSTR* value)
{
    if (!value)
        return E_POINTER;
    LPWSTR text = nullptr;
    HRESULT hr = scheduler_->GetTargetComputer(&text);
    return Check(TakeTaskString(hr, text, value));
}

STDMETHODIMP Schedule::put_TargetComputer(BSTR value)
{
    // An empty name means this computer, which the task scheduler spells as no name.
    return Check(scheduler_->SetTargetComputer(value && value[0] ? value : nullptr));
}

STDMETHODIMP Schedule::CreateTask(BSTR name, _Job** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (const wchar_t* problem = TaskNameProblem(name))
        return Fail(E_INVALIDARG, problem);
    // Some task schedulers hand out a new work item under a name that is taken, and saving it
    // would replace the existing task: a name that can be activated is refused here.
    ComPtr<ITask> task;
    if (SUCCEEDED(scheduler_->Activate(name, IID_ITask, reinterpret_cast<IUnknown**>(task.Receive()))))
        return Check(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS));
    HRESULT hr = Check(scheduler_->NewWorkItem(name, CLSID_CTask, IID_ITask,
                                               reinterpret_cast<IUnknown**>(task.Receive())));
    if (FAILED(hr))
        return hr;
    ComPtr<Job> job;
    hr = Job::Create(task.Get(), &job);
    if (FAILED(hr))
        return hr;
    BSTR title = SysAllocString(kComponentTitle);
    if (!title)
        return E_OUTOFMEMORY;
    hr = job->put_Creator(title);
    SysFreeString(title);
    if (FAILED(hr))
        return hr;
    hr = job->Save(nullptr);
    if (FAILED(hr))
        return hr;
    try {
        job->SetName(name);  // known from creation on, not only after a Refresh
        job->SetTaskFile(std::wstring(name) + L".job");
        jobs_.push_back(job);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    ++count_;
    *result = job.Detach();
    return S_OK;
}

STDMETHODIMP Schedule::Refresh()
{
    jobs_.clear();
    count_ = 0;
    ComPtr<IEnumWorkItems> items;
    HRESULT hr = Check(scheduler_->Enum(items.Receive()));
    if (FAILED(hr))
        return hr;
    for (;;) {
        LPWSTR* names = nullptr;
        ULONG fetched = 0;
        hr = items->Next(1, &names, &fetched);
        if (hr != S_OK || fetched != 1 || !names) {
            CoTaskMemFree(names);
            break;
        }
        LPWSTR name = names[0];
        CoTaskMemFree(names);
        ++count_;

        // A task that cannot be loaded is still listed, under its name, so that it can be
        // deleted; its other members report why it could not be loaded.
        ComPtr<ITask> task;
        ComPtr<Job> job;
        std::wstring fileName;
        try {
            fileName = name ? name : L"";
        } catch (const std::bad_alloc&) {
            CoTaskMemFree(name);
            continue;
        }
        CoTaskMemFree(name);
        HRESULT loaded = CallWithTaskName(fileName, [&](const wchar_t* taskName) {
            return scheduler_->Activate(taskName, IID_ITask,
                                        reinterpret_cast<IUnknown**>(task.Receive()));
        });
        if (SUCCEEDED(loaded))
            loaded = Job::Create(task.Get(), &job);
        if (FAILED(loaded) && FAILED(Job::CreateUnloaded(loaded, &job)))
            continue;
        try {
            job->SetName(fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4)
                                             : std::wstring());
            job->SetTaskFile(std::move(fileName));
            jobs_.push_back(std::move(job));
        } catch (const std::bad_alloc&) {
            continue;  // left out; the count still counts it
        }
    }
    // Activating tasks may have left error information that no member failure stands behind.
    SetErrorInfo(0, nullptr);
    return S_OK;
}

STDMETHODIMP Schedule::Delete(short index)
{
    if (index < 1 || static_cast<size_t>(index) > jobs_.size())
        return FailIndex();
    const size_t position = index - 1;
    HRESULT hr = Check(CallWithTaskName(jobs_[position]->TaskFile(), [this](const wchar_t* taskName) {
        return RetryWhileShared([&] { return scheduler_->Delete(taskName); });
    }));
    if (FAILED(hr))
        return hr;
    jobs_.erase(jobs_.begin() + position);
    --count_;
    return S_OK;
}

STDMETHODIMP Schedule::NewEnum(IUnknown** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    ObjectList objects;
    try {
        for (const ComPtr<Job>& job : jobs_) {
            job->AddRef();
            objects.push_back(ComPtr<IDispatch>::Adopt(job.Get()));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return CreateObjectEnumerator(std::move(objects), result);
}

}  // namespace taskmere
