// The seams the scheduling front end plugs into. The main window and its pages are built below
// the scheduling layer and know it only through these two interfaces: the application hands the
// main window a ScheduleFrontEnd, and the task-name dialog asks a TaskNameBook whether a name is
// taken. Both are backed by the task scheduler component's Schedule object.
#pragma once

#include "ui/ItemPages.h"

#include <string>

class ScheduleFrontEnd {
public:
    virtual ~ScheduleFrontEnd() = default;

    // The schedule actions of the areas. The list ones empty their list and return true once
    // they got past the empty-list check, whether a task was made or not.
    virtual bool ScheduleFiles(ItemList& files) = 0;
    virtual bool ScheduleFolders(ItemList& folders) = 0;
    virtual void ScheduleDrive(const std::string& driveLabel) = 0;  // "C:"
    virtual void ScheduleRecycleBin() = 0;

    // The program's own tasks, read afresh from the scheduler into `tasks`.
    virtual void ReloadTaskList(TaskList& tasks) = 0;
    // Deletes every task of `tasks` after a confirmation; true when they were deleted.
    virtual bool DeleteAllTasks(TaskList& tasks) = 0;
    // One task, by its index in the scheduler's collection.
    virtual void DeleteTask(short taskIndex) = 0;
    virtual void RunTask(short taskIndex) = 0;
    virtual void ShowTaskProperties(short taskIndex) = 0;
};

class TaskNameBook {
public:
    virtual ~TaskNameBook() = default;
    // Reads the scheduler's tasks afresh: true when one of them is named exactly `name`.
    virtual bool IsTaken(const std::string& name) = 0;
};
