#include "tests/schedule/ScheduleFixture.h"

#include "app/Components.h"
#include "schedule/wrapper/SharingRetry.h"

#include <doctest/doctest.h>

#include <commctrl.h>
#include <mstask.h>

#include <algorithm>

namespace scheduletest {

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string Stored(const std::string& name, HRESULT (*get)(ITask*, LPWSTR*))
{
    return test::StoredString(Wide(name), get);
}

}  // namespace

void RegisterTaskmere()
{
    std::string path = test::DistFolder() + "\\Taskmere.dll";
    HMODULE module = LoadLibraryA(path.c_str());  // left loaded: the Schedule objects live in it
    REQUIRE(module != nullptr);
    using RegisterFunction = HRESULT(WINAPI*)();
    auto registerServer =
        reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    REQUIRE(static_cast<bool>(registerServer));
    HRESULT hr = registerServer();
    INFO("DllRegisterServer: ", test::Hex(hr));
    REQUIRE(hr == S_OK);
}

void DeleteAllTasks()
{
    ComPtr<ITaskScheduler> scheduler = test::SystemScheduler();
    for (const std::wstring& file : test::SystemTaskFiles()) {
        std::wstring name = file.substr(0, file.size() - 4);
        if (FAILED(taskmere::RetryWhileShared([&] { return scheduler->Delete(name.c_str()); })))
            DeleteFileW((test::TasksFolder() + L"\\" + file).c_str());  // one the scheduler cannot read
    }
}

void MakeSystemTask(const std::string& name, const std::string& creator, const std::string& application)
{
    ComPtr<ITask> task;
    HRESULT hr = test::SystemScheduler()->NewWorkItem(Wide(name).c_str(), CLSID_CTask, IID_ITask,
                                                      reinterpret_cast<IUnknown**>(task.Receive()));
    INFO("new task ", name, ": ", test::Hex(hr));
    REQUIRE(hr == S_OK);
    REQUIRE(task->SetApplicationName(Wide(application).c_str()) == S_OK);
    REQUIRE(task->SetCreator(Wide(creator).c_str()) == S_OK);
    ComPtr<IPersistFile> file;
    REQUIRE(task->QueryInterface(IID_IPersistFile, file.ReceiveVoid()) == S_OK);
    REQUIRE(taskmere::RetryWhileShared([&] { return file->Save(nullptr, TRUE); }) == S_OK);
}

std::string StoredCommandLine(const std::string& name)
{
    return Stored(name, [](ITask* task, LPWSTR* text) { return task->GetParameters(text); });
}

std::string StoredApplication(const std::string& name)
{
    return Stored(name, [](ITask* task, LPWSTR* text) { return task->GetApplicationName(text); });
}

std::string StoredCreator(const std::string& name)
{
    return Stored(name, [](ITask* task, LPWSTR* text) { return task->GetCreator(text); });
}

std::vector<std::string> SystemTaskNames()
{
    std::vector<std::string> names;
    for (const std::wstring& file : test::SystemTaskFiles())
        names.push_back(test::Narrow(file.substr(0, file.size() - 4)));
    std::sort(names.begin(), names.end());
    return names;
}

uitest::Step NameTask(const std::string& name)
{
    return [name](HWND dialog) {
        HWND host = GetDlgItem(dialog, 1060);
        HWND edit = host ? FindWindowExA(host, nullptr, "Edit", nullptr) : nullptr;
        REQUIRE(edit != nullptr);
        SetWindowTextA(edit, name.c_str());
        uitest::Click(uitest::MovieControl(dialog, "OK"));
    };
}

uitest::Step CancelTaskName()
{
    return [](HWND dialog) {
        REQUIRE(GetDlgItem(dialog, 1060) != nullptr);
        uitest::Click(uitest::MovieControl(dialog, "Cancel"));
    };
}

uitest::Step ConfirmSchedule()
{
    return [](HWND dialog) {
        CHECK(uitest::Text(dialog) == "Schedule Task");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

uitest::Step ScheduleAt(int hour, int minute)
{
    return [hour, minute](HWND dialog) {
        CHECK(uitest::Text(dialog) == "Schedule Task");
        HWND time = GetDlgItem(dialog, 1003);  // the start time
        REQUIRE(time != nullptr);
        SYSTEMTIME start;
        GetLocalTime(&start);
        start.wHour = static_cast<WORD>(hour);
        start.wMinute = static_cast<WORD>(minute);
        start.wSecond = start.wMilliseconds = 0;
        REQUIRE(SendMessageA(time, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start)));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

uitest::Step Acknowledge(std::vector<std::string>& seen)
{
    return [&seen](HWND dialog) {
        seen.push_back(uitest::Message(dialog));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

ScheduleFixture::ScheduleFixture()
{
    installation.CopyAllMovies();
    RegisterTaskmere();
    DeleteAllTasks();
    context.appPath = test::DistFolder();  // the English texts
    context.title = "Vantor Shredder";
    context.channel = &channel;
    scheduler = CreateSchedulerObject();
    REQUIRE(static_cast<bool>(scheduler));
    schedule.reset(new TaskSchedule(context, scheduler.Get()));
}

ScheduleFixture::~ScheduleFixture()
{
    schedule.reset();
    scheduler.Reset();
    DeleteAllTasks();
}

std::vector<std::string> ScheduleFixture::QuestionTexts() const
{
    std::vector<std::string> texts;
    for (const auto& question : channel.questions)
        texts.push_back(question.text);
    return texts;
}

bool ScheduleFixture::Drive(const std::function<void()>& action, std::vector<uitest::Step> steps)
{
    size_t count = steps.size();
    uitest::ScriptResult result = uitest::RunScripted(
        [&] {
            action();
            return static_cast<INT_PTR>(0);
        },
        std::move(steps));
    CHECK(result.stepsRun == count);
    return !result.hung;
}

}  // namespace scheduletest
