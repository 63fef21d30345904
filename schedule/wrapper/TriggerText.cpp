#include "TriggerText.h"

#include <cwchar>
#include <vector>

namespace taskmere {
namespace {

const wchar_t* const kDayNames[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthNames[] = {L"January", L"February", L"March", L"April",
                                      L"May", L"June", L"July", L"August",
                                      L"September", L"October", L"November", L"December"};
const wchar_t* const kWeekNames[] = {L"first", L"second", L"third", L"fourth", L"last"};

std::wstring Number(unsigned long value)
{
    wchar_t text[16];
    swprintf(text, 16, L"%lu", value);
    return text;
}

std::wstring Time(WORD hour, WORD minute)
{
    wchar_t text[16];
    swprintf(text, 16, L"%02u:%02u", static_cast<unsigned>(hour), static_cast<unsigned>(minute));
    return text;
}

std::wstring Date(WORD year, WORD month, WORD day)
{
    wchar_t text[24];
    swprintf(text, 24, L"%02u.%02u.%04u", static_cast<unsigned>(day), static_cast<unsigned>(month),
             static_cast<unsigned>(year));
    return text;
}

// "Monday", "Monday and Friday", "Monday, Wednesday and Friday".
std::wstring JoinList(const std::vector<std::wstring>& items)
{
    std::wstring text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? L" and " : L", ";
        text += items[i];
    }
    return text;
}

std::wstring DayList(WORD mask)
{
    std::vector<std::wstring> days;
    // Monday first, Sunday last, as a week is read.
    for (int i = 1; i <= 7; ++i) {
        if (mask & (1u << (i % 7)))
            days.push_back(kDayNames[i % 7]);
    }
    return days.empty() ? L"no day" : JoinList(days);
}

std::wstring MonthList(WORD mask)
{
    if ((mask & 0xFFF) == 0xFFF)
        return L"every month";
    std::vector<std::wstring> months;
    for (int i = 0; i < 12; ++i) {
        if (mask & (1u << i))
            months.push_back(kMonthNames[i]);
    }
    return months.empty() ? L"no month" : JoinList(months);
}

std::wstring MonthDayList(DWORD mask)
{
    std::vector<std::wstring> days;
    for (int i = 0; i < 31; ++i) {
        if (mask & (1ul << i))
            days.push_back(Number(i + 1));
    }
    if (days.empty())
        return L"no day";
    return (days.size() == 1 ? L"day " : L"days ") + JoinList(days);
}

std::wstring Plural(unsigned long count, const wchar_t* unit)
{
    return Number(count) + L" " + unit + (count == 1 ? L"" : L"s");
}

}  // namespace

std::wstring DescribeTrigger(const TASK_TRIGGER& trigger)
{
    const std::wstring at = L"At " + Time(trigger.wStartHour, trigger.wStartMinute);
    const std::wstring begin = Date(trigger.wBeginYear, trigger.wBeginMonth, trigger.wBeginDay);
    const std::wstring starting = L", starting " + begin;
    std::wstring text;
    switch (trigger.TriggerType) {
    case TASK_TIME_TRIGGER_ONCE:
        text = at + L" on " + begin;
        break;
    case TASK_TIME_TRIGGER_DAILY: {
        WORD interval = trigger.Type.Daily.DaysInterval;
        text = at + (interval <= 1 ? std::wstring(L" every day") : L" every " + Plural(interval, L"day")) +
               starting;
        break;
    }
    case TASK_TIME_TRIGGER_WEEKLY: {
        WORD interval = trigger.Type.Weekly.WeeksInterval;
        text = at + L" every " + DayList(trigger.Type.Weekly.rgfDaysOfTheWeek) +
               (interval <= 1 ? std::wstring(L" of every week") : L" of every " + Plural(interval, L"week")) +
               starting;
        break;
    }
    case TASK_TIME_TRIGGER_MONTHLYDATE:
        text = at + L" on " + MonthDayList(trigger.Type.MonthlyDate.rgfDays) + L" of " +
               MonthList(trigger.Type.MonthlyDate.rgfMonths) + starting;
        break;
    case TASK_TIME_TRIGGER_MONTHLYDOW: {
        WORD week = trigger.Type.MonthlyDOW.wWhichWeek;
        const wchar_t* which = week >= 1 && week <= 5 ? kWeekNames[week - 1] : L"unknown";
        text = at + L" on the " + which + L" " + DayList(trigger.Type.MonthlyDOW.rgfDaysOfTheWeek) +
               L" of " + MonthList(trigger.Type.MonthlyDOW.rgfMonths) + starting;
        break;
    }
    case TASK_EVENT_TRIGGER_ON_IDLE:
        return L"When the computer is idle";
    case TASK_EVENT_TRIGGER_AT_SYSTEMSTART:
        return L"At system startup";
    case TASK_EVENT_TRIGGER_AT_LOGON:
        return L"At logon";
    default:
        return L"Unknown trigger type " + Number(static_cast<unsigned long>(trigger.TriggerType));
    }
    if (trigger.MinutesInterval != 0)
        text += L", repeating every " + Plural(trigger.MinutesInterval, L"minute") + L" for " +
                Plural(trigger.MinutesDuration, L"minute");
    if (trigger.rgFlags & TASK_TRIGGER_FLAG_HAS_END_DATE)
        text += L", until " + Date(trigger.wEndYear, trigger.wEndMonth, trigger.wEndDay);
    if (trigger.rgFlags & TASK_TRIGGER_FLAG_DISABLED)
        text += L" (disabled)";
    return text;
}

}  // namespace taskmere
