#include "SchedulerSupport.h"

#include "TestSupport.h"
#include "schedule/wrapper/SharingRetry.h"

#include <doctest/doctest.h>

namespace test {

Component::Component()
{
    std::string path = DistFolder() + "\\Taskmere.dll";
    module_ = LoadLibraryA(path.c_str());
    INFO("loading ", path, ": error ", GetLastError());
    REQUIRE(module_ != nullptr);
}

Component::~Component()
{
    // Left loaded: objects of a failed test may still be alive.
}

Automation Component::NewSchedule() const
{
    using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    REQUIRE(static_cast<bool>(getClassObject));
    const CLSID scheduleClass = {0x3B7E51A0, 0x6C2D, 0x4F18, {0x9A, 0x45, 0xD0, 0xC8, 0xB2, 0xE7, 0x1F, 0x36}};
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(scheduleClass, IID_IClassFactory, factory.ReceiveVoid());
    INFO("DllGetClassObject: ", Hex(hr));
    REQUIRE(hr == S_OK);
    ComPtr<IDispatch> schedule;
    hr = factory->CreateInstance(nullptr, IID_IDispatch, schedule.ReceiveVoid());
    INFO("CreateInstance: ", Hex(hr));
    REQUIRE(hr == S_OK);
    return Automation(std::move(schedule));
}

HRESULT Component::CanUnloadNow() const
{
    using CanUnloadFunction = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<CanUnloadFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    REQUIRE(static_cast<bool>(canUnload));
    return canUnload();
}

ComPtr<ITaskScheduler> SystemScheduler()
{
    ComPtr<ITaskScheduler> scheduler;
    HRESULT hr = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                  scheduler.ReceiveVoid());
    INFO("creating the task scheduler: ", Hex(hr));
    REQUIRE(hr == S_OK);
    return scheduler;
}

std::vector<std::wstring> SystemTaskFiles()
{
    std::vector<std::wstring> files;
    ComPtr<IEnumWorkItems> items;
    REQUIRE(SystemScheduler()->Enum(items.Receive()) == S_OK);
    LPWSTR* names = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &names, &fetched) == S_OK && fetched == 1) {
        files.push_back(names[0]);
        CoTaskMemFree(names[0]);
        CoTaskMemFree(names);
    }
    return files;
}

bool SystemHasTask(const std::wstring& name)
{
    for (const std::wstring& file : SystemTaskFiles()) {
        if (file == name + L".job")
            return true;
    }
    return false;
}

void CleanTasks::DeleteTestTasks()
{
    ScopedCom com;
    ComPtr<ITaskScheduler> scheduler = SystemScheduler();
    const std::wstring prefix = kTaskPrefix;
    for (const std::wstring& file : SystemTaskFiles()) {
        if (file.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::wstring name = file.substr(0, file.size() - 4);
        if (FAILED(taskmere::RetryWhileShared([&] { return scheduler->Delete(name.c_str()); })))
            DeleteFileW((TasksFolder() + L"\\" + file).c_str());  // one the scheduler cannot read
    }
}

ComPtr<ITask> LoadSystemTask(const std::wstring& name)
{
    ComPtr<ITask> task;
    HRESULT hr = SystemScheduler()->Activate(name.c_str(), IID_ITask, reinterpret_cast<IUnknown**>(task.Receive()));
    INFO("activating ", Narrow(name), ": ", Hex(hr));
    REQUIRE(hr == S_OK);
    return task;
}

TASK_TRIGGER StoredTrigger(const std::wstring& name, WORD index)
{
    TASK_TRIGGER record;
    memset(&record, 0xCC, sizeof(record));  // untouched fields show
    ComPtr<ITaskTrigger> trigger;
    HRESULT hr = LoadSystemTask(name)->GetTrigger(index, trigger.Receive());
    INFO("trigger ", index, " of ", Narrow(name), ": ", Hex(hr));
    REQUIRE(hr == S_OK);
    record.cbTriggerSize = sizeof(record);
    REQUIRE(trigger->GetTrigger(&record) == S_OK);
    return record;
}

WORD StoredTriggerCount(const std::wstring& name)
{
    WORD count = 0xFFFF;
    REQUIRE(LoadSystemTask(name)->GetTriggerCount(&count) == S_OK);
    return count;
}

std::string StoredString(const std::wstring& name, HRESULT (*get)(ITask*, LPWSTR*))
{
    ComPtr<ITask> task = LoadSystemTask(name);
    LPWSTR text = nullptr;
    HRESULT hr = get(task.Get(), &text);
    if (FAILED(hr))
        return "<" + Hex(hr) + ">";
    std::string result = Narrow(text ? text : L"");
    CoTaskMemFree(text);
    return result;
}

long IndexOf(const Automation& schedule, const std::wstring& name)
{
    long count = schedule.Long(L"Count");
    for (long i = 1; i <= count; ++i) {
        Outcome job = schedule.Get(L"Job", {i});
        if (job.Ok() && Automation(job.value).Text(L"Name") == Narrow(name))
            return i;
    }
    return 0;
}

std::wstring TasksFolder()
{
    wchar_t windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    REQUIRE(length > 0);
    return std::wstring(windows) + L"\\Tasks";
}

bool RenameTaskFile(const std::wstring& from, const std::wstring& to)
{
    const std::wstring folder = TasksFolder() + L"\\";
    HRESULT hr = taskmere::RetryWhileShared([&] {
        return MoveFileW((folder + from).c_str(), (folder + to).c_str()) ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    });
    INFO("renaming ", Narrow(from), " to ", Narrow(to), ": ", Hex(hr));
    return SUCCEEDED(hr);
}

}  // namespace test
