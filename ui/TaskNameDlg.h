// The task-name dialog: asks for the name of a new scheduled task and refuses a name that is
// empty, that a task of the scheduler has already, or that cannot name a task. A task's name is
// the name of its file in the system's Tasks folder ("NAME.job") and is written between quotes
// into its command line, so it must be a name a file can have and hold no quote.
#pragma once

#include "engine/ShredContext.h"
#include "ui/ScheduleFrontEnd.h"

#include <windows.h>

#include <string>

// Runs the dialog modally, owned by `owner` or else the application's main window; `names` says
// which names are taken. True with a new, usable name in `name`; false when cancelled.
bool AskTaskName(HWND owner, ShredContext& context, TaskNameBook& names, std::string& name);

// What keeps a name (in the program's code page) from naming a task.
enum class TaskNameFault {
    None,
    Empty,
    Characters,  // \ / : * ? " < > |, a control character, or a trailing dot or blank
    Device,      // a name the system keeps for a device (CON, NUL, COM1...), alone or before a dot
    TooLong,     // the task file's path would not fit a path buffer
};
TaskNameFault CheckTaskName(const std::string& name);

// The longest name whose task file fits a path buffer, in characters.
size_t MaxTaskNameLength();
