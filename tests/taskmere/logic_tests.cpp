// The parts of Taskmere that are plain computation: trigger descriptions, the schedule dialog's
// choice and its mapping to trigger records, and the automation date conversions.
#include "AutomationValues.h"
#include "LateBound.h"
#include "ScheduleChoice.h"
#include "TriggerText.h"

#include <doctest/doctest.h>

#include <cstring>

using namespace taskmere;
using test::Narrow;

namespace {

TASK_TRIGGER Record(TASK_TRIGGER_TYPE type, WORD hour = 22, WORD minute = 30)
{
    TASK_TRIGGER trigger{};
    trigger.cbTriggerSize = sizeof(trigger);
    trigger.TriggerType = type;
    trigger.wBeginYear = 2026;
    trigger.wBeginMonth = 12;
    trigger.wBeginDay = 8;
    trigger.wStartHour = hour;
    trigger.wStartMinute = minute;
    return trigger;
}

}  // namespace

TEST_CASE("trigger descriptions")
{
    struct Case {
        TASK_TRIGGER trigger;
        const char* text;
    };
    TASK_TRIGGER once = Record(TASK_TIME_TRIGGER_ONCE, 7, 5);
    TASK_TRIGGER daily = Record(TASK_TIME_TRIGGER_DAILY);
    daily.Type.Daily.DaysInterval = 1;
    TASK_TRIGGER everyThird = Record(TASK_TIME_TRIGGER_DAILY);
    everyThird.Type.Daily.DaysInterval = 3;
    TASK_TRIGGER weekly = Record(TASK_TIME_TRIGGER_WEEKLY);
    weekly.Type.Weekly.WeeksInterval = 1;
    weekly.Type.Weekly.rgfDaysOfTheWeek = TASK_SUNDAY | TASK_MONDAY | TASK_FRIDAY;
    TASK_TRIGGER fortnightly = Record(TASK_TIME_TRIGGER_WEEKLY);
    fortnightly.Type.Weekly.WeeksInterval = 2;
    fortnightly.Type.Weekly.rgfDaysOfTheWeek = TASK_WEDNESDAY;
    TASK_TRIGGER monthly = Record(TASK_TIME_TRIGGER_MONTHLYDATE);
    monthly.Type.MonthlyDate.rgfDays = 1u | (1u << 14);
    monthly.Type.MonthlyDate.rgfMonths = 0xFFF;
    TASK_TRIGGER someMonths = Record(TASK_TIME_TRIGGER_MONTHLYDATE);
    someMonths.Type.MonthlyDate.rgfDays = 1u << 30;
    someMonths.Type.MonthlyDate.rgfMonths = TASK_JANUARY | TASK_JULY;
    TASK_TRIGGER lastFriday = Record(TASK_TIME_TRIGGER_MONTHLYDOW);
    lastFriday.Type.MonthlyDOW.wWhichWeek = TASK_LAST_WEEK;
    lastFriday.Type.MonthlyDOW.rgfDaysOfTheWeek = TASK_FRIDAY;
    lastFriday.Type.MonthlyDOW.rgfMonths = 0xFFF;
    TASK_TRIGGER repeating = daily;
    repeating.MinutesInterval = 10;
    repeating.MinutesDuration = 60;
    repeating.rgFlags = TASK_TRIGGER_FLAG_HAS_END_DATE | TASK_TRIGGER_FLAG_DISABLED;
    repeating.wEndYear = 2027;
    repeating.wEndMonth = 1;
    repeating.wEndDay = 31;

    const Case cases[] = {
        {once, "At 07:05 on 08.12.2026"},
        {daily, "At 22:30 every day, starting 08.12.2026"},
        {everyThird, "At 22:30 every 3 days, starting 08.12.2026"},
        {weekly, "At 22:30 every Monday, Friday and Sunday of every week, starting 08.12.2026"},
        {fortnightly, "At 22:30 every Wednesday of every 2 weeks, starting 08.12.2026"},
        {monthly, "At 22:30 on days 1 and 15 of every month, starting 08.12.2026"},
        {someMonths, "At 22:30 on day 31 of January and July, starting 08.12.2026"},
        {lastFriday, "At 22:30 on the last Friday of every month, starting 08.12.2026"},
        {repeating, "At 22:30 every day, starting 08.12.2026, repeating every 10 minutes for 60 minutes, "
                    "until 31.01.2027 (disabled)"},
        {Record(TASK_EVENT_TRIGGER_ON_IDLE), "When the computer is idle"},
        {Record(TASK_EVENT_TRIGGER_AT_SYSTEMSTART), "At system startup"},
        {Record(TASK_EVENT_TRIGGER_AT_LOGON), "At logon"},
    };
    for (const Case& c : cases) {
        CAPTURE(static_cast<int>(c.trigger.TriggerType));
        CHECK(Narrow(DescribeTrigger(c.trigger)) == c.text);
    }
}

TEST_CASE("a schedule choice shows a trigger and writes it back")
{
    struct Case {
        TASK_TRIGGER_TYPE type;
        WORD interval;
        ScheduleChoice::Kind kind;
    };
    const Case cases[] = {
        {TASK_TIME_TRIGGER_ONCE, 0, ScheduleChoice::Kind::Once},
        {TASK_TIME_TRIGGER_DAILY, 1, ScheduleChoice::Kind::Daily},
        {TASK_TIME_TRIGGER_DAILY, 4, ScheduleChoice::Kind::EveryNDays},
        {TASK_TIME_TRIGGER_WEEKLY, 1, ScheduleChoice::Kind::Weekly},
        {TASK_TIME_TRIGGER_MONTHLYDATE, 0, ScheduleChoice::Kind::Monthly},
    };
    for (const Case& c : cases) {
        CAPTURE(static_cast<int>(c.type));
        CAPTURE(c.interval);
        TASK_TRIGGER trigger = Record(c.type);
        if (c.type == TASK_TIME_TRIGGER_DAILY)
            trigger.Type.Daily.DaysInterval = c.interval;
        if (c.type == TASK_TIME_TRIGGER_WEEKLY) {
            trigger.Type.Weekly.WeeksInterval = c.interval;
            trigger.Type.Weekly.rgfDaysOfTheWeek = TASK_TUESDAY | TASK_THURSDAY;
        }
        if (c.type == TASK_TIME_TRIGGER_MONTHLYDATE) {
            trigger.Type.MonthlyDate.rgfDays = 1u << 9;
            trigger.Type.MonthlyDate.rgfMonths = TASK_MARCH;
        }
        trigger.MinutesInterval = 5;
        trigger.MinutesDuration = 20;

        ScheduleChoice choice = ScheduleChoice::FromTrigger(trigger, true);
        CHECK(choice.kind == c.kind);
        CHECK(choice.Problem() == nullptr);
        TASK_TRIGGER written = trigger;
        choice.ApplyTo(&written);
        // Unchanged choice, unchanged record: nothing the dialog does not show is lost.
        CHECK(std::memcmp(&written, &trigger, sizeof(trigger)) == 0);
    }
}

TEST_CASE("a schedule choice writes each kind")
{
    TASK_TRIGGER trigger = Record(TASK_TIME_TRIGGER_ONCE);
    trigger.rgFlags = TASK_TRIGGER_FLAG_KILL_AT_DURATION_END;
    ScheduleChoice choice = ScheduleChoice::FromTrigger(trigger, true);
    choice.year = 2027;
    choice.month = 2;
    choice.day = 28;
    choice.hour = 5;
    choice.minute = 59;

    choice.kind = ScheduleChoice::Kind::EveryNDays;
    choice.everyDays = 10;
    choice.ApplyTo(&trigger);
    CHECK(trigger.TriggerType == TASK_TIME_TRIGGER_DAILY);
    CHECK(trigger.Type.Daily.DaysInterval == 10);
    CHECK(trigger.wBeginYear == 2027);
    CHECK(trigger.wBeginMonth == 2);
    CHECK(trigger.wBeginDay == 28);
    CHECK(trigger.wStartHour == 5);
    CHECK(trigger.wStartMinute == 59);
    CHECK(trigger.rgFlags == TASK_TRIGGER_FLAG_KILL_AT_DURATION_END);

    choice.kind = ScheduleChoice::Kind::Weekly;
    choice.weekDays = TASK_SATURDAY;
    choice.ApplyTo(&trigger);
    CHECK(trigger.TriggerType == TASK_TIME_TRIGGER_WEEKLY);
    CHECK(trigger.Type.Weekly.WeeksInterval == 1);
    CHECK(trigger.Type.Weekly.rgfDaysOfTheWeek == TASK_SATURDAY);

    choice.kind = ScheduleChoice::Kind::Monthly;
    choice.monthDay = 31;
    choice.ApplyTo(&trigger);
    CHECK(trigger.TriggerType == TASK_TIME_TRIGGER_MONTHLYDATE);
    CHECK(trigger.Type.MonthlyDate.rgfDays == (1u << 30));
    CHECK(trigger.Type.MonthlyDate.rgfMonths == 0xFFF);

    choice.kind = ScheduleChoice::Kind::Daily;
    choice.ApplyTo(&trigger);
    CHECK(trigger.TriggerType == TASK_TIME_TRIGGER_DAILY);
    CHECK(trigger.Type.Daily.DaysInterval == 1);
}

TEST_CASE("a schedule choice names what keeps it from being written")
{
    struct Case {
        const char* what;
        void (*spoil)(ScheduleChoice&);
        bool fine;
    };
    const Case cases[] = {
        {"as shown", [](ScheduleChoice&) {}, true},
        {"30 February", [](ScheduleChoice& c) { c.month = 2; c.day = 30; }, false},
        {"no date", [](ScheduleChoice& c) { c.year = c.month = c.day = 0; }, false},
        {"hour 24", [](ScheduleChoice& c) { c.hour = 24; }, false},
        {"weekly without a day", [](ScheduleChoice& c) { c.kind = ScheduleChoice::Kind::Weekly; c.weekDays = 0; }, false},
        {"weekly on Monday", [](ScheduleChoice& c) { c.kind = ScheduleChoice::Kind::Weekly; c.weekDays = TASK_MONDAY; }, true},
        {"every 0 days", [](ScheduleChoice& c) { c.kind = ScheduleChoice::Kind::EveryNDays; c.everyDays = 0; }, false},
        {"monthly on day 32", [](ScheduleChoice& c) { c.kind = ScheduleChoice::Kind::Monthly; c.monthDay = 32; }, false},
        {"monthly on day 0", [](ScheduleChoice& c) { c.kind = ScheduleChoice::Kind::Monthly; c.monthDay = 0; }, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        ScheduleChoice choice = ScheduleChoice::FromTrigger(Record(TASK_TIME_TRIGGER_ONCE), true);
        c.spoil(choice);
        CHECK((choice.Problem() == nullptr) == c.fine);
    }
}

TEST_CASE("a new task's default trigger runs once at the next full hour")
{
    struct Case {
        SYSTEMTIME now;
        WORD year, month, day, hour;
    };
    const Case cases[] = {
        {{2026, 12, 2, 8, 14, 20, 5, 0}, 2026, 12, 8, 15},
        {{2026, 12, 4, 31, 23, 59, 59, 999}, 2027, 1, 1, 0},
        {{2028, 2, 2, 29, 23, 0, 0, 0}, 2028, 3, 1, 0},
    };
    for (const Case& c : cases) {
        CAPTURE(c.now.wDay);
        CAPTURE(c.now.wHour);
        TASK_TRIGGER trigger = ScheduleChoice::DefaultTrigger(c.now);
        CHECK(trigger.TriggerType == TASK_TIME_TRIGGER_ONCE);
        CHECK(trigger.wBeginYear == c.year);
        CHECK(trigger.wBeginMonth == c.month);
        CHECK(trigger.wBeginDay == c.day);
        CHECK(trigger.wStartHour == c.hour);
        CHECK(trigger.wStartMinute == 0);
    }
}

TEST_CASE("automation dates from trigger fields")
{
    CHECK(DateFromParts(0, 0, 0) == 0.0);  // an unset end date
    SYSTEMTIME never{};
    CHECK(DateFromSystemTime(never) == 0.0);
    DATE date = DateFromParts(2026, 12, 8);
    WORD year = 0, month = 0, day = 0;
    REQUIRE(SplitDate(date + 0.75, &year, &month, &day));
    CHECK(year == 2026);
    CHECK(month == 12);
    CHECK(day == 8);
    WORD hour = 0, minute = 0;
    REQUIRE(SplitTimeOfDay(date + TimeOfDay(22, 30), &hour, &minute));
    CHECK(hour == 22);
    CHECK(minute == 30);
    CHECK(FitsInteger(32767));
    CHECK_FALSE(FitsInteger(32768));
    CHECK(FitsInteger(-32768));
    CHECK_FALSE(FitsInteger(-32769));
}
