// Schedule and Job against the system's task scheduler, called late-bound as clients call them.
#include "LateBound.h"
#include "SchedulerSupport.h"
#include "TestSupport.h"

#include <doctest/doctest.h>


using namespace test;

namespace {

const std::wstring kFirst = std::wstring(kTaskPrefix) + L"First";
const std::wstring kSecond = std::wstring(kTaskPrefix) + L"Second";

constexpr HRESULT kSubscriptOutOfRange = 0x800A0009;

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_CASE("a task is saved and named when it is created, and found by name after Refresh")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    CHECK(schedule.Long(L"Count") == 0);  // nothing is loaded before Refresh

    Outcome created = schedule.Call(L"CreateTask", {kFirst.c_str()});
    INFO("CreateTask: ", Hex(created.error), " ", created.description);
    REQUIRE(created.Ok());
    Automation job(created.value);
    CHECK(schedule.Long(L"Count") == 1);
    CHECK(job.Text(L"Name") == Narrow(kFirst));
    CHECK(job.Text(L"Creator") == "Taskmere");
    CHECK(SystemHasTask(kFirst));

    REQUIRE(schedule.Call(L"Refresh").Ok());
    const long systemCount = static_cast<long>(SystemTaskFiles().size());
    CHECK(schedule.Long(L"Count") == systemCount);
    long index = IndexOf(schedule, kFirst);
    REQUIRE(index > 0);
    Automation refreshed = schedule.Object(L"Job", {index});
    CHECK(refreshed.Text(L"Name") == Narrow(kFirst));
    CHECK(EndsWith(refreshed.Text(L"FileName"), "\\" + Narrow(kFirst) + ".job"));
}

TEST_CASE("Count follows CreateTask, Refresh and Delete")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"Refresh").Ok());
    const long before = schedule.Long(L"Count");

    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    REQUIRE(schedule.Call(L"CreateTask", {kSecond.c_str()}).Ok());
    CHECK(schedule.Long(L"Count") == before + 2);
    // A name that is taken fails, counts nothing and leaves the existing task as it was.
    Automation existing = schedule.Object(L"Job", {before + 1});
    REQUIRE(existing.Put(L"Comment", L"first of its name").Ok());
    REQUIRE(existing.Call(L"Save").Ok());
    Outcome taken = schedule.Call(L"CreateTask", {kFirst.c_str()});
    CHECK(taken.hr == DISP_E_EXCEPTION);
    CHECK(Hex(taken.error) == Hex(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS)));
    CHECK(schedule.Long(L"Count") == before + 2);
    CHECK(StoredString(kFirst, [](ITask* t, LPWSTR* s) { return t->GetComment(s); }) == "first of its name");

    REQUIRE(schedule.Call(L"Refresh").Ok());
    CHECK(schedule.Long(L"Count") == before + 2);
    long index = IndexOf(schedule, kFirst);
    REQUIRE(index > 0);

    Outcome deleted = schedule.Call(L"Delete", {index});
    INFO("Delete: ", Hex(deleted.error), " ", deleted.description);
    CHECK(deleted.Ok());
    CHECK(schedule.Long(L"Count") == before + 1);
    CHECK_FALSE(SystemHasTask(kFirst));
    CHECK(SystemHasTask(kSecond));
    // The collection closed the gap: every remaining position holds a task, none holds the deleted one.
    for (long i = 1; i <= before + 1; ++i) {
        Outcome job = schedule.Get(L"Job", {i});
        CHECK(job.Ok());
        CHECK(Automation(job.value).Text(L"Name") != Narrow(kFirst));
    }
}

TEST_CASE("Delete with index 1 removes the first task of the collection")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    REQUIRE(schedule.Call(L"Refresh").Ok());
    const long count = schedule.Long(L"Count");
    const std::string first = schedule.Object(L"Job", {1}).Text(L"Name");
    // Only test tasks live in the test prefix; never delete anything else.
    REQUIRE(first.compare(0, 7, "TmTest ") == 0);

    REQUIRE(schedule.Call(L"Delete", {1}).Ok());
    CHECK(schedule.Long(L"Count") == count - 1);
    CHECK_FALSE(SystemHasTask(std::wstring(first.begin(), first.end())));
}

TEST_CASE("a task just created can be deleted before any Refresh")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    Outcome deleted = schedule.Call(L"Delete", {1});
    INFO("Delete: ", Hex(deleted.error), " ", deleted.description);
    CHECK(deleted.Ok());
    CHECK_FALSE(SystemHasTask(kFirst));
    CHECK(schedule.Long(L"Count") == 0);
}

TEST_CASE("Job and Delete outside 1 to Count fail with Subscript out of range")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    for (long index : {0L, -1L, 2L, 32767L}) {
        CAPTURE(index);
        Outcome job = schedule.Get(L"Job", {index});
        CHECK(job.hr == DISP_E_EXCEPTION);
        CHECK(Hex(job.error) == Hex(kSubscriptOutOfRange));
        CHECK(job.description == "Subscript out of range");
        Outcome deleted = schedule.Call(L"Delete", {index});
        CHECK(Hex(deleted.error) == Hex(kSubscriptOutOfRange));
    }
    CHECK(schedule.Long(L"Count") == 1);
    CHECK(SystemHasTask(kFirst));
}

TEST_CASE("a task file that cannot be loaded is listed under its name and can be deleted")
{
    Component component;
    CleanTasks clean;
    const std::wstring broken = std::wstring(kTaskPrefix) + L"Broken";
    WriteFileBytes(Narrow(TasksFolder() + L"\\" + broken + L".job"), "not a task");
    REQUIRE(SystemHasTask(broken));
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"Refresh").Ok());
    CHECK(schedule.Long(L"Count") == static_cast<long>(SystemTaskFiles().size()));
    long index = IndexOf(schedule, broken);
    REQUIRE(index > 0);
    Automation job = schedule.Object(L"Job", {index});
    Outcome application = job.Get(L"ApplicationName");
    CHECK(application.hr == DISP_E_EXCEPTION);
    CHECK(FAILED(application.error));

    CHECK(schedule.Call(L"Delete", {index}).Ok());
    CHECK_FALSE(SystemHasTask(broken));
}

TEST_CASE("NewEnum walks the collection in order")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    REQUIRE(schedule.Call(L"CreateTask", {kSecond.c_str()}).Ok());
    REQUIRE(schedule.Call(L"Refresh").Ok());

    Outcome enumerator = schedule.InvokeId(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    REQUIRE(enumerator.Ok());
    REQUIRE(enumerator.value.Type() == VT_UNKNOWN);
    ComPtr<IEnumVARIANT> items;
    REQUIRE(V_UNKNOWN(enumerator.value.Get())->QueryInterface(IID_IEnumVARIANT, items.ReceiveVoid()) == S_OK);
    long position = 0;
    Variant item;
    ULONG fetched = 0;
    while (items->Next(1, item.Get(), &fetched) == S_OK) {
        ++position;
        CHECK(fetched == 1);
        CHECK(Automation(item).Text(L"Name") == schedule.Object(L"Job", {position}).Text(L"Name"));
        item = Variant();
    }
    CHECK(position == schedule.Long(L"Count"));
}

TEST_CASE("members answer to their DISPIDs")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {kFirst.c_str()}).Ok());
    REQUIRE(schedule.Call(L"Refresh").Ok());
    const long index = IndexOf(schedule, kFirst);
    REQUIRE(index > 0);

    Outcome count = schedule.InvokeId(0x68030000, DISPATCH_PROPERTYGET);
    CHECK(count.value.Long() == schedule.Long(L"Count"));
    Outcome job = schedule.InvokeId(DISPID_VALUE, DISPATCH_PROPERTYGET, {index});  // the default member
    REQUIRE(job.Ok());
    Automation named(job.value);
    CHECK(named.InvokeId(0x68030003, DISPATCH_PROPERTYGET).value.Text() == Narrow(kFirst));
    CHECK(named.InvokeId(0x6803000F, DISPATCH_PROPERTYPUT, {L"Vantor-Shredder"}).Ok());
    CHECK(named.Text(L"Creator") == "Vantor-Shredder");
}

TEST_CASE("Job properties reach the stored task")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {kFirst.c_str()});

    struct TextCase {
        const wchar_t* property;
        const wchar_t* value;
        HRESULT (*stored)(ITask*, LPWSTR*);
    };
    const TextCase texts[] = {
        {L"ApplicationName", L"C:\\Program Files\\Vantor\\Nullwright.exe",
         [](ITask* t, LPWSTR* s) { return t->GetApplicationName(s); }},
        {L"CommandLine", L"\"/s\" \"Night\" \"/O1\" \"/T3\" \"C:\\a b\\c.txt\"",
         [](ITask* t, LPWSTR* s) { return t->GetParameters(s); }},
        {L"Comment", L"shreds at night", [](ITask* t, LPWSTR* s) { return t->GetComment(s); }},
        {L"Creator", L"Vantor-Shredder", [](ITask* t, LPWSTR* s) { return t->GetCreator(s); }},
        {L"WorkingDirectory", L"C:\\windows", [](ITask* t, LPWSTR* s) { return t->GetWorkingDirectory(s); }},
    };
    for (const TextCase& text : texts) {
        CAPTURE(Narrow(text.property));
        CHECK(job.Put(text.property, text.value).Ok());
        CHECK(job.Text(text.property) == Narrow(text.value));
    }
    struct NumberCase {
        const wchar_t* property;
        long value;
    };
    // Priority and IdleWait are written where the system can; see the pass-through test.
    const NumberCase numbers[] = {
        {L"MaxRunTime", 7200000},
        {L"Flags", TASK_FLAG_DELETE_WHEN_DONE | TASK_FLAG_HIDDEN},
    };
    for (const NumberCase& number : numbers) {
        CAPTURE(Narrow(number.property));
        Outcome put = job.Put(number.property, number.value);
        INFO(Hex(put.error), " ", put.description);
        CHECK(put.Ok());
        CHECK(job.Long(number.property) == number.value);
    }
    REQUIRE(job.Call(L"Save").Ok());

    for (const TextCase& text : texts) {
        CAPTURE(Narrow(text.property));
        CHECK(StoredString(kFirst, text.stored) == Narrow(text.value));
    }
    ComPtr<ITask> stored = LoadSystemTask(kFirst);
    DWORD value = 0;
    CHECK(stored->GetMaxRunTime(&value) == S_OK);
    CHECK(value == 7200000);
    CHECK(stored->GetFlags(&value) == S_OK);
    CHECK(value == (TASK_FLAG_DELETE_WHEN_DONE | TASK_FLAG_HIDDEN));
}

TEST_CASE("the task scheduler's own results pass through unchanged")
{
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {kFirst.c_str()});
    ComPtr<ITask> stored = LoadSystemTask(kFirst);

    // Whatever the system answers, success or failure, the member answers the same; Wine, for
    // one, has no retry settings and no priority to set.
    WORD retries = 0;
    HRESULT expected = stored->GetErrorRetryCount(&retries);
    Outcome count = job.Get(L"ErrorRetryCount");
    CHECK(Hex(count.error) == Hex(FAILED(expected) ? expected : S_OK));
    if (SUCCEEDED(expected))
        CHECK(count.value.Long() == retries);

    expected = stored->SetPriority(HIGH_PRIORITY_CLASS);
    Outcome priority = job.Put(L"Priority", HIGH_PRIORITY_CLASS);
    CHECK(Hex(priority.error) == Hex(FAILED(expected) ? expected : S_OK));
    if (SUCCEEDED(expected))
        CHECK(job.Long(L"Priority") == HIGH_PRIORITY_CLASS);

    WORD idle = 0, deadline = 0;
    REQUIRE(stored->GetIdleWait(&idle, &deadline) == S_OK);
    expected = stored->SetIdleWait(25, deadline);
    Outcome idleWait = job.Put(L"IdleWait", 25);
    CHECK(Hex(idleWait.error) == Hex(FAILED(expected) ? expected : S_OK));
    CHECK(job.Long(L"IdleWait") == (SUCCEEDED(expected) ? 25 : idle));

    // A task that is not running cannot be ended; the failure comes with a text to show.
    expected = stored->Terminate();
    Outcome terminated = job.Call(L"Terminate");
    CHECK(Hex(terminated.error) == Hex(FAILED(expected) ? expected : S_OK));
    if (FAILED(expected))
        CHECK_FALSE(terminated.description.empty());

    LPWSTR computer = nullptr;
    REQUIRE(SystemScheduler()->GetTargetComputer(&computer) == S_OK);
    CHECK(schedule.Text(L"TargetComputer") == Narrow(computer));
    CoTaskMemFree(computer);
    CHECK(schedule.Put(L"TargetComputer", L"").Ok());  // this computer

    HRESULT status = S_OK;
    REQUIRE(stored->GetStatus(&status) == S_OK);
    CHECK(Hex(job.Long(L"Status")) == Hex(status));

    // A task that never ran has an all-zero last run time, which gives the zero date.
    Outcome lastRun = job.Get(L"LastRunTime");
    CHECK(lastRun.Ok());
    CHECK(lastRun.value.Type() == VT_DATE);
    CHECK(lastRun.value.Double() == 0.0);
}

TEST_CASE("Save writes the task's own file without a name or with an empty one, else the named file")
{
    Component component;
    CleanTasks clean;
    TempFolder folder("tm");
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {kFirst.c_str()});
    auto commentOf = [](ITask* t, LPWSTR* s) { return t->GetComment(s); };

    REQUIRE(job.Put(L"Comment", L"without a name").Ok());
    CHECK(job.Call(L"Save", {Variant::Missing()}).Ok());
    CHECK(StoredString(kFirst, commentOf) == "without a name");

    REQUIRE(job.Put(L"Comment", L"with an empty name").Ok());
    CHECK(job.Call(L"Save", {L""}).Ok());
    CHECK(StoredString(kFirst, commentOf) == "with an empty name");

    const std::string copy = folder / "copy.job";
    REQUIRE(job.Put(L"Comment", L"to another file").Ok());
    std::wstring wideCopy(copy.begin(), copy.end());
    CHECK(job.Call(L"Save", {wideCopy.c_str()}).Ok());
    CHECK(FileExists(copy));
    CHECK(StoredString(kFirst, commentOf) == "with an empty name");
}

TEST_CASE("objects hold the module until the last one is released")
{
    Component component;
    CleanTasks clean;
    {
        Automation schedule = component.NewSchedule();
        Automation job = schedule.Object(L"CreateTask", {kFirst.c_str()});
        Automation triggers = job.Object(L"Triggers");
        CHECK(component.CanUnloadNow() == S_FALSE);
    }
    CHECK(component.CanUnloadNow() == S_OK);
}
