#include "ScheduleChoice.h"

namespace taskmere {
namespace {

bool IsDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    FILETIME converted;
    return year >= 1601 && SystemTimeToFileTime(&time, &converted) != FALSE;
}

WORD LowestDay(DWORD mask)
{
    for (WORD day = 1; day <= 31; ++day) {
        if (mask & (1ul << (day - 1)))
            return day;
    }
    return 1;
}

}  // namespace

TASK_TRIGGER ScheduleChoice::DefaultTrigger(const SYSTEMTIME& now)
{
    // The next full hour; past 23:00 that is midnight, which FileTime arithmetic carries over.
    SYSTEMTIME start = now;
    start.wMinute = start.wSecond = start.wMilliseconds = 0;
    FILETIME file;
    if (SystemTimeToFileTime(&start, &file)) {
        ULARGE_INTEGER ticks;
        ticks.LowPart = file.dwLowDateTime;
        ticks.HighPart = file.dwHighDateTime;
        ticks.QuadPart += 60ull * 60 * 10000000;
        file.dwLowDateTime = ticks.LowPart;
        file.dwHighDateTime = ticks.HighPart;
        if (!FileTimeToSystemTime(&file, &start))
            start = now;  // keep the current hour rather than an invalid date
    }
    TASK_TRIGGER trigger{};
    trigger.cbTriggerSize = sizeof(trigger);
    trigger.wBeginYear = start.wYear;
    trigger.wBeginMonth = start.wMonth;
    trigger.wBeginDay = start.wDay;
    trigger.wStartHour = start.wHour;
    trigger.wStartMinute = start.wMinute;
    trigger.TriggerType = TASK_TIME_TRIGGER_ONCE;
    return trigger;
}

ScheduleChoice ScheduleChoice::FromTrigger(const TASK_TRIGGER& trigger, bool enabled)
{
    ScheduleChoice choice;
    choice.year = trigger.wBeginYear;
    choice.month = trigger.wBeginMonth;
    choice.day = trigger.wBeginDay;
    choice.hour = trigger.wStartHour;
    choice.minute = trigger.wStartMinute;
    choice.enabled = enabled;
    switch (trigger.TriggerType) {
    case TASK_TIME_TRIGGER_DAILY:
        if (trigger.Type.Daily.DaysInterval > 1) {
            choice.kind = Kind::EveryNDays;
            choice.everyDays = trigger.Type.Daily.DaysInterval;
        } else {
            choice.kind = Kind::Daily;
        }
        break;
    case TASK_TIME_TRIGGER_WEEKLY:
        choice.kind = Kind::Weekly;
        choice.weekDays = trigger.Type.Weekly.rgfDaysOfTheWeek & 0x7F;
        break;
    case TASK_TIME_TRIGGER_MONTHLYDATE:
        choice.kind = Kind::Monthly;
        choice.monthDay = LowestDay(trigger.Type.MonthlyDate.rgfDays);
        break;
    default:
        choice.kind = Kind::Once;
        break;
    }
    return choice;
}

const wchar_t* ScheduleChoice::Problem() const
{
    if (!IsDate(year, month, day))
        return L"The start date is not a valid date.";
    if (hour > 23 || minute > 59)
        return L"The start time is not a valid time.";
    switch (kind) {
    case Kind::EveryNDays:
        if (everyDays < 1 || everyDays > 999)
            return L"The number of days must be between 1 and 999.";
        break;
    case Kind::Weekly:
        if ((weekDays & 0x7F) == 0)
            return L"Choose at least one day of the week.";
        break;
    case Kind::Monthly:
        if (monthDay < 1 || monthDay > 31)
            return L"The day of the month must be between 1 and 31.";
        break;
    default:
        break;
    }
    return nullptr;
}

void ScheduleChoice::ApplyTo(TASK_TRIGGER* trigger) const
{
    const bool wasWeekly = trigger->TriggerType == TASK_TIME_TRIGGER_WEEKLY;
    const WORD weeksInterval = wasWeekly ? trigger->Type.Weekly.WeeksInterval : 1;
    const bool wasMonthlyDate = trigger->TriggerType == TASK_TIME_TRIGGER_MONTHLYDATE;
    const WORD months = wasMonthlyDate ? trigger->Type.MonthlyDate.rgfMonths : 0;

    trigger->cbTriggerSize = sizeof(*trigger);
    trigger->wBeginYear = year;
    trigger->wBeginMonth = month;
    trigger->wBeginDay = day;
    trigger->wStartHour = hour;
    trigger->wStartMinute = minute;
    trigger->Type = TRIGGER_TYPE_UNION{};
    switch (kind) {
    case Kind::Once:
        trigger->TriggerType = TASK_TIME_TRIGGER_ONCE;
        break;
    case Kind::Daily:
        trigger->TriggerType = TASK_TIME_TRIGGER_DAILY;
        trigger->Type.Daily.DaysInterval = 1;
        break;
    case Kind::EveryNDays:
        trigger->TriggerType = TASK_TIME_TRIGGER_DAILY;
        trigger->Type.Daily.DaysInterval = everyDays;
        break;
    case Kind::Weekly:
        trigger->TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        trigger->Type.Weekly.WeeksInterval = weeksInterval ? weeksInterval : 1;
        trigger->Type.Weekly.rgfDaysOfTheWeek = weekDays & 0x7F;
        break;
    case Kind::Monthly:
        trigger->TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
        trigger->Type.MonthlyDate.rgfDays = 1ul << (monthDay - 1);
        // A month mask the user chose elsewhere stays; otherwise every month.
        trigger->Type.MonthlyDate.rgfMonths = months ? months : 0xFFF;
        break;
    }
}

}  // namespace taskmere
