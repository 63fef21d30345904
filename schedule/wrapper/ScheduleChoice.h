// What the schedule dialog lets a user choose for a task, and how that choice maps to and from a
// trigger record. No window is involved, so the mapping is tested on its own.
#pragma once

#include <windows.h>
#include <mstask.h>

namespace taskmere {

struct ScheduleChoice {
    enum class Kind { Once, Daily, EveryNDays, Weekly, Monthly };

    Kind kind = Kind::Once;
    WORD everyDays = 2;      // EveryNDays: the days between runs
    WORD weekDays = 0;       // Weekly: TASK_SUNDAY ... TASK_SATURDAY
    WORD monthDay = 1;       // Monthly: 1 to 31
    WORD year = 0, month = 0, day = 0;  // the first run's date
    WORD hour = 0, minute = 0;
    bool enabled = true;

    // A new task's trigger: once, at the next full hour (on the next day after 23:00).
    static TASK_TRIGGER DefaultTrigger(const SYSTEMTIME& now);

    // The choice that shows `trigger`. Kinds the dialog cannot express (the day-of-week monthly
    // trigger and the event triggers) show as Once at the trigger's start.
    static ScheduleChoice FromTrigger(const TASK_TRIGGER& trigger, bool enabled);

    // Null when the choice can be written, else what is wrong with it, for the user.
    const wchar_t* Problem() const;

    // Writes the choice into `trigger`; what the dialog does not show (end date, repetition,
    // flags, random delay) stays as it was. Only for a choice without a Problem().
    void ApplyTo(TASK_TRIGGER* trigger) const;
};

}  // namespace taskmere
