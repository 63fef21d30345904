// The task-name dialog against the real task scheduler: its OK check asks a TaskNameBook backed
// by Taskmere's Schedule object, as the scheduling front end will back it (Refresh, then the
// names of the tasks from 1 to Count).
#include "tests/taskmere/SchedulerSupport.h"
#include "tests/ui/DialogScript.h"
#include "ui/TaskNameDlg.h"

#include <doctest/doctest.h>

using namespace uitest;

namespace {

class ScheduleNames : public TaskNameBook {
public:
    explicit ScheduleNames(test::Automation schedule) : schedule_(std::move(schedule)) {}
    TaskNameState Check(const std::string& name) override
    {
        REQUIRE(schedule_.Call(L"Refresh").Ok());
        long count = schedule_.Long(L"Count");
        for (long i = 1; i <= count; ++i) {
            test::Outcome job = schedule_.Get(L"Job", {i});
            if (job.Ok() && test::Automation(job.value).Text(L"Name") == name)
                return TaskNameState::Taken;
        }
        return TaskNameState::Free;
    }

private:
    test::Automation schedule_;
};

}  // namespace

TEST_CASE("a name the real scheduler has already is refused; the same in other letters is taken")
{
    test::Component component;
    test::CleanTasks clean;
    Installation installation;
    installation.CopyAllMovies();
    test::Automation schedule = component.NewSchedule();
    REQUIRE(schedule.Call(L"CreateTask", {L"TmTest Weekly"}).Ok());
    ScheduleNames names(component.NewSchedule());  // a schedule of its own, as the application's
    ShredContext context;
    context.appPath = test::DistFolder();
    context.title = "Vantor Shredder";

    std::string refused;
    std::string name;
    bool accepted = false;
    ScriptResult result = RunScripted(
        [&] {
            accepted = AskTaskName(nullptr, context, names, name);
            return static_cast<INT_PTR>(accepted ? IDOK : IDCANCEL);
        },
        {
            [](HWND dialog) {
                SetWindowTextA(FindWindowExA(GetDlgItem(dialog, 1060), nullptr, "Edit", nullptr), "TmTest Weekly");
                Click(MovieControl(dialog, "OK"));
            },
            [&](HWND warning) {
                refused = Message(warning);
                PostMessageA(warning, WM_COMMAND, IDOK, 0);
            },
            [](HWND dialog) {
                SetWindowTextA(FindWindowExA(GetDlgItem(dialog, 1060), nullptr, "Edit", nullptr), "TmTest weekly");
                Click(MovieControl(dialog, "OK"));
            },
        });
    CHECK_FALSE(result.hung);
    CHECK(refused == context.LookupText(9016));
    CHECK(accepted);
    CHECK(name == "TmTest weekly");
}
