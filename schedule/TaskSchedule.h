// The scheduling front end: a job of the main window becomes a task of the system's task
// scheduler that starts the program in silent mode with the job's command line, and the
// program's own tasks (those with its creator mark) are listed, run, edited and deleted. All of
// it goes through the task scheduler component's Schedule object, late-bound. The user sets when
// a task runs in the scheduler's own dialog; the program never sets a trigger.
//
// Without a Schedule object (the component is missing) every action says so and does nothing
// else. An error of the component is shown with the component's description; a task that could
// not be completed after it was created is deleted again, so that no half-made task stays.
#pragma once

#include "engine/FolderShredder.h"
#include "engine/ShredContext.h"
#include "schedule/ScheduleObject.h"
#include "ui/ScheduleFrontEnd.h"

#include <oaidl.h>

#include <string>
#include <vector>

// The creator mark of the program's tasks; only tasks with it are listed.
extern const char* const TaskCreatorMark;  // "Vantor-Shredder"

// How long the line that starts a task's program may be: the quoted program path, a blank and
// the task's command line, in characters. The system starts a program with at most 32,767
// characters, terminator included, and a task file holds its program (twice: as the program and
// as its working folder) beside its command line in at most about 32,700 characters (measured:
// Wine's scheduler cannot read a task back whose command line has more than 32,680 characters
// beside a program path of 56). A task with more would be saved but could never start.
constexpr size_t MaxTaskStartLine = 32000;

class TaskSchedule : public ScheduleFrontEnd, public TaskNameBook {
public:
    // `scheduler` is the Schedule object of start-up, null when there is none; it stays the
    // caller's and must outlive this object.
    TaskSchedule(ShredContext& context, IDispatch* scheduler);

    bool ScheduleFiles(ItemList& files) override;
    bool ScheduleFolders(ItemList& folders) override;
    void ScheduleDrive(const std::string& driveLabel) override;
    void ScheduleRecycleBin() override;
    void ReloadTaskList(TaskList& tasks) override;
    TaskListChange DeleteAllTasks(TaskList& tasks) override;
    TaskListChange DeleteTask(TaskList& tasks, size_t position) override;
    TaskListChange RunTask(TaskList& tasks, size_t position) override;
    TaskListChange ShowTaskProperties(TaskList& tasks, size_t position) override;

    TaskNameState Check(const std::string& name) override;

    // Asks for the name of a new task (the task-name dialog) and creates it with the creator
    // mark and the program's path. Its name, or empty when no task was made; the task is then
    // the one in hand until the next is created.
    std::string CreateShredTask();
    // Completes the task in hand: its command line, saved, then its schedule dialog. A task that
    // cannot be given its line or saved is deleted again. True when it was saved.
    bool CompleteTask(const std::string& commandLine);
    // The checks of one entry of the file list: Missing (left out, with a message box), Cancelled
    // (the user cancelled the whole schedule), or Passed.
    ScheduleCheck CheckFileForSchedule(const std::string& path);

    // The program every task starts: the installation folder and "\Nullwright.exe".
    std::string ProgramPath() const;

private:
    enum class Listed { Same, Changed, Failed };

    bool HaveScheduler();
    // Refreshes the scheduler and counts its tasks.
    ComponentResult RefreshedCount(long& count) const;
    // The index of the task called `name` among the first `count`, searched from the last (where
    // a new task is), or 0. A task that cannot be read is no match.
    long IndexOfTask(const std::string& name, long count) const;
    // True when `items` (item texts, in order) fit one task; otherwise says how many fit.
    bool FitOneTask(const std::vector<std::string>& items);
    // Refreshes the scheduler and checks that the task at the index listed at `position` has the
    // listed name and the creator mark; `job` is then that task.
    Listed CheckListed(const TaskList& tasks, size_t position, ScheduledJob& job);
    TaskListChange Changed(TaskList& tasks);
    // Run and properties: `action` on the task at `position` once it is the one listed.
    TaskListChange ActOnListed(TaskList& tasks, size_t position, ComponentResult (ScheduledJob::*action)() const);
    // Deletes the task in hand, named `name`, after `failure` left it half made, and says so.
    void AbandonTask(const std::string& name, const ComponentResult& failure);
    void ReportError(const ComponentResult& failure);

    ShredContext& context_;
    ScheduleObject schedule_;
    ScheduledJob task_;  // the task in hand
    std::string taskName_;
};
