// The task-name dialog: asks for the name of a new scheduled task and refuses an empty name or
// one that a task of the scheduler has already.
#pragma once

#include "engine/ShredContext.h"
#include "ui/ScheduleFrontEnd.h"

#include <windows.h>

#include <string>

// Runs the dialog modally, owned by `owner` or else the application's main window; `names` says
// which names are taken. True with a new, non-empty name in `name`; false when cancelled.
bool AskTaskName(HWND owner, ShredContext& context, TaskNameBook& names, std::string& name);
