// The component under test, loaded straight from the installation image (no registration needed),
// and the system's own task scheduler, used to check independently what the component wrote.
#pragma once

#include "LateBound.h"
#include "common/ScopedWin.h"

#include <windows.h>
#include <mstask.h>

#include <string>
#include <vector>

namespace test {

// Test tasks are named with this prefix and removed before and after every test that makes them.
constexpr const wchar_t* kTaskPrefix = L"TmTest ";

class Component {
public:
    Component();
    ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Automation NewSchedule() const;
    HRESULT CanUnloadNow() const;

private:
    ScopedCom com_;
    HMODULE module_ = nullptr;
};

// Removes the test tasks before and after a test.
class CleanTasks {
public:
    CleanTasks() { DeleteTestTasks(); }
    ~CleanTasks() { DeleteTestTasks(); }
    static void DeleteTestTasks();
};

ComPtr<ITaskScheduler> SystemScheduler();
// The task file names ("X.job") the system enumerates.
std::vector<std::wstring> SystemTaskFiles();
bool SystemHasTask(const std::wstring& name);
// A task as stored, loaded afresh.
ComPtr<ITask> LoadSystemTask(const std::wstring& name);
TASK_TRIGGER StoredTrigger(const std::wstring& name, WORD index);
WORD StoredTriggerCount(const std::wstring& name);
std::string StoredString(const std::wstring& name, HRESULT (*get)(ITask*, LPWSTR*));

// The 1-based index of the task called `name` in a refreshed schedule, 0 when absent.
long IndexOf(const Automation& schedule, const std::wstring& name);

// The folder that holds the task files.
std::wstring TasksFolder();

// Renames the task file `from` ("X.job") in that folder to `to`, as another program would. The
// task scheduler service reads a task file whenever it changes, so the rename waits out a
// sharing violation as the component does.
bool RenameTaskFile(const std::wstring& from, const std::wstring& to);

}  // namespace test
