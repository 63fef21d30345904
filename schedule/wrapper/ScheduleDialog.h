// Taskmere's own schedule dialog, shown where the system has no property sheet for a task: when
// the task runs, from which date and time, and whether it is enabled.
#pragma once

#include "ScheduleChoice.h"

#include <windows.h>

namespace taskmere {

// Shows the dialog over `owner` with `choice` filled in. S_OK: the user pressed OK and `choice`
// holds a choice without a Problem(); S_FALSE: cancelled, `choice` unchanged; else the failure
// that kept the dialog from showing.
HRESULT ShowScheduleDialog(HWND owner, ScheduleChoice* choice);

}  // namespace taskmere
