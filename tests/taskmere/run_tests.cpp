// A saved task's Run starts its application with its command line.
#include "LateBound.h"
#include "SchedulerSupport.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

using namespace test;

namespace {

std::string OwnFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    REQUIRE(length > 0);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The task scheduler starts the program on its own schedule; wait a bounded while for its file.
bool WaitForFile(const std::string& path, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (FileExists(path))
            return true;
        Sleep(100);
    }
    return false;
}

// Saves a task that runs echo_command_line.exe with `parameters`, runs it and gives back the
// command line it was started with (in UTF-8).
std::string CommandLineOfRun(const wchar_t* taskName, const std::wstring& parameters)
{
    Component component;
    CleanTasks clean;
    TempFolder folder("tmrun");
    const std::string output = folder / "command line.txt";
    const std::wstring name = std::wstring(kTaskPrefix) + taskName;

    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {name.c_str()});
    REQUIRE(job.Put(L"ApplicationName", Wide(OwnFolder() + "\\echo_command_line.exe").c_str()).Ok());
    REQUIRE(job.Put(L"CommandLine", parameters.c_str()).Ok());
    REQUIRE(job.Put(L"WorkingDirectory", Wide(folder.Path()).c_str()).Ok());
    // A task without a schedule is not ready to run; a daily trigger makes it ready.
    Automation trigger = job.Object(L"Triggers").Object(L"Add");
    REQUIRE(trigger.Put(L"TriggerType", TASK_TIME_TRIGGER_DAILY).Ok());
    REQUIRE(trigger.Put(L"DaysInterval", 1).Ok());
    REQUIRE(job.Call(L"Save", {L""}).Ok());
    Outcome run = job.Call(L"Run");
    INFO("Run: ", Hex(run.error), " ", run.description);
    REQUIRE(run.Ok());

    // Wine's service reads a task when its file changes, and of several changes that reach it at
    // once it sees only the first: the Run right after the Save may go unseen. Ask once more.
    if (!WaitForFile(output, 20))
        REQUIRE(job.Call(L"Run").Ok());
    REQUIRE(WaitForFile(output, 60));
    return ReadFileBytes(output);
}

// The end of `line` (the program's name may come first).
bool EndsWith(const std::string& line, const std::string& end)
{
    return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_CASE("Run starts the task's application with its command line")
{
    const std::string parameters = "\"/s\" \"Night run\" \"/O1\" \"C:\\a b\\c.txt\"";
    const std::string line = CommandLineOfRun(L"Run", Wide(parameters));
    CAPTURE(line);
    CHECK(EndsWith(line, parameters));
}

TEST_CASE("Run passes names outside every legacy code page through whole")
{
    // As the program, whose code page is UTF-8, hands its items to the component.
    const wchar_t* parameters = L"\"/s\" \"N\u00E4chtlich\" \"/O1\" \"C:\\\u65E5\u672C\u8A9E\\\u0141\u00F3d\u017A.txt\"";
    const std::string expected = "\"/s\" \"N\xC3\xA4" "chtlich\" \"/O1\" \"C:\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA.txt\"";
    const std::string line = CommandLineOfRun(L"Names", parameters);
    CAPTURE(line);
    CHECK(EndsWith(line, expected));
}

TEST_CASE("a task saved without a working folder gets its application's folder")
{
    Component component;
    CleanTasks clean;
    const std::wstring name = std::wstring(kTaskPrefix) + L"Folder";
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {name.c_str()});
    REQUIRE(job.Put(L"ApplicationName", L"C:\\Program Files\\Vantor\\Nullwright.exe").Ok());
    REQUIRE(job.Call(L"Save", {L""}).Ok());
    auto folderOf = [](ITask* t, LPWSTR* s) { return t->GetWorkingDirectory(s); };
    CHECK(StoredString(name, folderOf) == "C:\\Program Files\\Vantor");

    // A folder the client chose stays.
    REQUIRE(job.Put(L"WorkingDirectory", L"D:\\Work").Ok());
    REQUIRE(job.Call(L"Save").Ok());
    CHECK(StoredString(name, folderOf) == "D:\\Work");
}
