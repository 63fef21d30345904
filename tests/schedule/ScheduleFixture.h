// The scheduling front end against the real task scheduler of the test prefix: Taskmere of this
// build registered as an installation registers it, its Schedule object created from the ProgID
// as start-up creates it, the real task-name dialog and the component's own schedule dialog
// driven from their modal loops, and the system's task scheduler asked on its own what was
// stored. The scheduler holds only the tasks a test makes: every task is deleted before and
// after (the scheduler tests run one at a time).
#pragma once

#include "schedule/TaskSchedule.h"
#include "tests/support/TestSupport.h"
#include "tests/taskmere/SchedulerSupport.h"
#include "tests/ui/DialogScript.h"

#include <memory>
#include <string>
#include <vector>

namespace scheduletest {

// Registers the built Taskmere.dll as its installation does (its DllRegisterServer).
void RegisterTaskmere();
// Deletes every task of the scheduler.
void DeleteAllTasks();

// A task made directly in the system's scheduler, as another program makes one.
void MakeSystemTask(const std::string& name, const std::string& creator,
                    const std::string& application = "C:\\windows\\notepad.exe");
// What the system's scheduler stores of a task.
std::string StoredCommandLine(const std::string& name);
std::string StoredApplication(const std::string& name);
std::string StoredCreator(const std::string& name);
// The task names the system's scheduler holds, in no particular order, sorted.
std::vector<std::string> SystemTaskNames();

// Steps: the task-name dialog given a name and OK; the schedule dialog's OK; a message box's
// text kept in `seen` and OK.
uitest::Step NameTask(const std::string& name);
uitest::Step CancelTaskName();
uitest::Step ConfirmSchedule();
// The schedule dialog given a start time, then OK.
uitest::Step ScheduleAt(int hour, int minute);
uitest::Step Acknowledge(std::vector<std::string>& seen);

struct ScheduleFixture {
    ScopedCom com;
    uitest::Installation installation;  // the movies of the dialogs; the settings of a fresh account
    test::ScriptedChannel channel;
    ShredContext context;
    ComPtr<IDispatch> scheduler;
    std::unique_ptr<TaskSchedule> schedule;

    ScheduleFixture();
    ~ScheduleFixture();

    std::string Text(int key) const { return context.LookupText(key); }
    std::vector<std::string> QuestionTexts() const;
    // Runs `action` while `steps` drive the dialogs it opens; false when a dialog stayed open.
    bool Drive(const std::function<void()>& action, std::vector<uitest::Step> steps);
};

}  // namespace scheduletest
