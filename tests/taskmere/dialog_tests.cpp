// The schedule dialog that ShowProperties and Edit fall back to where the system has no property
// sheet (Wine: EditWorkItem is not implemented), driven with messages as a user would drive it.
#include "LateBound.h"
#include "ScheduleDialogIds.h"
#include "SchedulerSupport.h"
#include "TestSupport.h"

#include <commctrl.h>
#include <doctest/doctest.h>

#include <functional>

using namespace test;

namespace {

const std::wstring kTask = std::wstring(kTaskPrefix) + L"Dialog";
constexpr UINT kDriveDialog = WM_APP + 1;

// Runs `script` on the schedule dialog as soon as it is shown: a hook sees the dialog initialised
// and posts its handle to a message-only window, which the dialog's own modal loop dispatches.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> script)
    {
        current_ = this;
        script_ = std::move(script);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &HelperProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TaskmereDialogDriver";
        RegisterClassW(&windowClass);  // already registered by an earlier test is fine
        helper_ = CreateWindowW(L"TaskmereDialogDriver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        REQUIRE(helper_ != nullptr);
        hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &HookProc, nullptr, GetCurrentThreadId());
        REQUIRE(hook_ != nullptr);
    }
    ~DialogDriver()
    {
        UnhookWindowsHookEx(hook_);
        DestroyWindow(helper_);
        current_ = nullptr;
    }
    int Runs() const { return runs_; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ && message->message == WM_INITDIALOG)
            PostMessageW(current_->helper_, kDriveDialog, reinterpret_cast<WPARAM>(message->hwnd), 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kDriveDialog && current_) {
            ++current_->runs_;
            current_->script_(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static DialogDriver* current_;
    std::function<void(HWND)> script_;
    HWND helper_ = nullptr;
    HHOOK hook_ = nullptr;
    int runs_ = 0;
};

DialogDriver* DialogDriver::current_ = nullptr;

void SelectKind(HWND dialog, int kind)
{
    HWND combo = GetDlgItem(dialog, IDC_SCHEDULE_KIND);
    SendMessageW(combo, CB_SETCURSEL, kind, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCHEDULE_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SetStart(HWND dialog, WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    SendDlgItemMessageW(dialog, IDC_START_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    SendDlgItemMessageW(dialog, IDC_START_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void Press(HWND dialog, int button)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

DWORD StoredFlags()
{
    DWORD flags = 0;
    REQUIRE(LoadSystemTask(kTask)->GetFlags(&flags) == S_OK);
    return flags;
}

struct DialogFixture {
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {kTask.c_str()});
};

}  // namespace

TEST_CASE("OK in the schedule dialog writes the trigger and saves the task")
{
    DialogFixture fixture;
    DialogDriver driver([](HWND dialog) {
        SelectKind(dialog, 3);  // weekly
        CheckDlgButton(dialog, IDC_MONDAY, BST_CHECKED);
        CheckDlgButton(dialog, IDC_THURSDAY, BST_CHECKED);
        SetStart(dialog, 2027, 6, 1, 6, 15);
        CheckDlgButton(dialog, IDC_ENABLED, BST_UNCHECKED);
        Press(dialog, IDOK);
    });
    Outcome shown = fixture.job.Call(L"ShowProperties");
    INFO("ShowProperties: ", Hex(shown.error), " ", shown.description);
    CHECK(shown.Ok());
    CHECK(driver.Runs() == 1);

    REQUIRE(StoredTriggerCount(kTask) == 1);
    TASK_TRIGGER stored = StoredTrigger(kTask, 0);
    CHECK(stored.TriggerType == TASK_TIME_TRIGGER_WEEKLY);
    CHECK(stored.Type.Weekly.rgfDaysOfTheWeek == (TASK_MONDAY | TASK_THURSDAY));
    CHECK(stored.Type.Weekly.WeeksInterval == 1);
    CHECK(stored.wBeginYear == 2027);
    CHECK(stored.wBeginMonth == 6);
    CHECK(stored.wBeginDay == 1);
    CHECK(stored.wStartHour == 6);
    CHECK(stored.wStartMinute == 15);
    CHECK((StoredFlags() & TASK_FLAG_DISABLED) != 0);
    // The job's own trigger objects follow, so a later Save keeps what the dialog wrote.
    Automation triggers = fixture.job.Object(L"Triggers");
    CHECK(triggers.Long(L"Count") == 1);
    REQUIRE(fixture.job.Call(L"Save").Ok());
    CHECK(StoredTrigger(kTask, 0).TriggerType == TASK_TIME_TRIGGER_WEEKLY);
}

TEST_CASE("the schedule dialog shows the task's trigger, and Edit changes it")
{
    DialogFixture fixture;
    Automation trigger = fixture.job.Object(L"Triggers").Object(L"Add");
    REQUIRE(trigger.Put(L"TriggerType", TASK_TIME_TRIGGER_DAILY).Ok());
    REQUIRE(trigger.Put(L"DaysInterval", 1).Ok());
    SYSTEMTIME eight{};
    eight.wYear = 1899;
    eight.wMonth = 12;
    eight.wDay = 30;
    eight.wHour = 8;
    DATE eightOClock = 0;
    REQUIRE(SystemTimeToVariantTime(&eight, &eightOClock));
    REQUIRE(trigger.Put(L"StartTime", Variant::Date(eightOClock)).Ok());
    REQUIRE(fixture.job.Call(L"Save").Ok());

    LRESULT shownKind = -1;
    SYSTEMTIME shownTime{};
    BOOL shownEnabled = FALSE;
    DialogDriver driver([&](HWND dialog) {
        shownKind = SendDlgItemMessageW(dialog, IDC_SCHEDULE_KIND, CB_GETCURSEL, 0, 0);
        SendDlgItemMessageW(dialog, IDC_START_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shownTime));
        shownEnabled = IsDlgButtonChecked(dialog, IDC_ENABLED) == BST_CHECKED;
        SelectKind(dialog, 2);  // every N days
        SetDlgItemInt(dialog, IDC_EVERY_DAYS, 3, FALSE);
        Press(dialog, IDOK);
    });
    Outcome edited = fixture.job.Call(L"Edit", {static_cast<IDispatch*>(nullptr)});
    INFO("Edit: ", Hex(edited.error), " ", edited.description);
    CHECK(edited.Ok());
    CHECK(shownKind == 1);  // daily
    CHECK(shownTime.wHour == 8);
    CHECK(shownTime.wMinute == 0);
    CHECK(shownEnabled);

    REQUIRE(StoredTriggerCount(kTask) == 1);
    TASK_TRIGGER stored = StoredTrigger(kTask, 0);
    CHECK(stored.TriggerType == TASK_TIME_TRIGGER_DAILY);
    CHECK(stored.Type.Daily.DaysInterval == 3);
    CHECK(stored.wStartHour == 8);
    CHECK((StoredFlags() & TASK_FLAG_DISABLED) == 0);
}

TEST_CASE("Cancel in the schedule dialog changes nothing")
{
    DialogFixture fixture;
    const std::string file = Narrow(TasksFolder() + L"\\" + kTask + L".job");
    const std::string before = ReadFileBytes(file);
    REQUIRE_FALSE(before.empty());
    const WORD triggersBefore = StoredTriggerCount(kTask);
    DialogDriver driver([](HWND dialog) {
        SelectKind(dialog, 1);
        SetStart(dialog, 2027, 1, 2, 3, 4);
        Press(dialog, IDCANCEL);
    });
    CHECK(fixture.job.Call(L"ShowProperties").Ok());
    CHECK(driver.Runs() == 1);
    CHECK(StoredTriggerCount(kTask) == triggersBefore);
    CHECK(fixture.job.Object(L"Triggers").Long(L"Count") == 0);
    CHECK(ReadFileBytes(file) == before);
}

TEST_CASE("the schedule dialog stays open and says why while the choice cannot be written")
{
    DialogFixture fixture;
    std::wstring problem;
    bool stillOpen = false;
    DialogDriver driver([&](HWND dialog) {
        SelectKind(dialog, 3);  // weekly, but no day chosen
        for (int id = IDC_SUNDAY; id <= IDC_SATURDAY; ++id)
            CheckDlgButton(dialog, id, BST_UNCHECKED);
        Press(dialog, IDOK);
        stillOpen = IsWindow(dialog) && IsWindowEnabled(GetDlgItem(dialog, IDOK));
        wchar_t text[200] = L"";
        GetDlgItemTextW(dialog, IDC_PROBLEM, text, 200);
        problem = text;
        Press(dialog, IDCANCEL);
    });
    CHECK(fixture.job.Call(L"ShowProperties").Ok());
    CHECK(stillOpen);
    CHECK_FALSE(problem.empty());
    CHECK(fixture.job.Object(L"Triggers").Long(L"Count") == 0);
}
