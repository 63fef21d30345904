// The seams the scheduling front end plugs into. The main window and its pages are built below
// the scheduling layer and know it only through these two interfaces: the application hands the
// main window a ScheduleFrontEnd, and the task-name dialog asks a TaskNameBook whether a name is
// taken. Both are backed by the task scheduler component's Schedule object.
#pragma once

#include "ui/ItemPages.h"

#include <string>

// What an action on the task list did to it, and so what the movie's list must be told.
enum class TaskListChange {
    None,      // unchanged
    Emptied,   // every task of it was deleted
    Reloaded,  // read afresh from the scheduler: the movie's list must be shown anew
};

class ScheduleFrontEnd {
public:
    virtual ~ScheduleFrontEnd() = default;

    // The schedule actions of the areas. The list ones return true when they emptied their list:
    // once they got past the empty-list check, whether a task was made or not, except where
    // nothing could be scheduled at all (no scheduler; items too many for one task).
    virtual bool ScheduleFiles(ItemList& files) = 0;
    virtual bool ScheduleFolders(ItemList& folders) = 0;
    virtual void ScheduleDrive(const std::string& driveLabel) = 0;  // "C:"
    virtual void ScheduleRecycleBin() = 0;

    // The program's own tasks, read afresh from the scheduler into `tasks`.
    virtual void ReloadTaskList(TaskList& tasks) = 0;
    // Deletes every task of `tasks` after a confirmation.
    virtual TaskListChange DeleteAllTasks(TaskList& tasks) = 0;
    // One task, at `position` of `tasks`. The scheduler is asked first whether the task at the
    // listed index still has the listed name and is still the program's; when it is not, the
    // list is read afresh, the user is told, and nothing is done.
    virtual TaskListChange DeleteTask(TaskList& tasks, size_t position) = 0;
    virtual TaskListChange RunTask(TaskList& tasks, size_t position) = 0;
    virtual TaskListChange ShowTaskProperties(TaskList& tasks, size_t position) = 0;
};

// Whether a name is free in the scheduler.
enum class TaskNameState {
    Free,
    Taken,
    Unknown,  // the scheduler could not be read; the book has told the user why
};

class TaskNameBook {
public:
    virtual ~TaskNameBook() = default;
    // Reads the scheduler's tasks afresh: Taken when one of them is named exactly `name`.
    virtual TaskNameState Check(const std::string& name) = 0;
};
