// An English description of a trigger record, for systems whose task scheduler cannot describe
// its triggers itself: "At 22:30 every day, starting 08.12.2026".
#pragma once

#include <windows.h>
#include <mstask.h>

#include <string>

namespace taskmere {

std::wstring DescribeTrigger(const TASK_TRIGGER& trigger);

}  // namespace taskmere
