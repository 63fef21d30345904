// Triggers and Trigger against the system's task scheduler, called late-bound.
#include "LateBound.h"
#include "SchedulerSupport.h"
#include "schedule/wrapper/SharingRetry.h"

#include <doctest/doctest.h>

#include <cstring>

using namespace test;

namespace {

const std::wstring kTask = std::wstring(kTaskPrefix) + L"Triggers";
constexpr HRESULT kInvalidTriggerType = 0x80040001;
constexpr HRESULT kSubscriptOutOfRange = 0x800A0009;
constexpr HRESULT kOverflow = 0x800A0006;

// A task with one new trigger of `type`, saved.
struct TriggerFixture {
    Component component;
    CleanTasks clean;
    Automation schedule = component.NewSchedule();
    Automation job = schedule.Object(L"CreateTask", {kTask.c_str()});
    Automation triggers = job.Object(L"Triggers");

    Automation Add(long type)
    {
        Automation trigger = triggers.Object(L"Add");
        REQUIRE(trigger.Put(L"TriggerType", type).Ok());
        return trigger;
    }
    void Save()
    {
        Outcome saved = job.Call(L"Save");
        INFO("Save: ", Hex(saved.error), " ", saved.description);
        REQUIRE(saved.Ok());
    }
};

DATE MakeDate(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    DATE value = 0;
    REQUIRE(SystemTimeToVariantTime(&time, &value));
    return value;
}

}  // namespace

TEST_CASE("a new task has no triggers; Add appends one whose Flags read 0")
{
    TriggerFixture fixture;
    CHECK(fixture.triggers.Long(L"Count") == 0);
    Automation trigger = fixture.triggers.Object(L"Add");
    CHECK(fixture.triggers.Long(L"Count") == 1);
    CHECK(trigger.Long(L"Flags") == 0);
    CHECK(fixture.triggers.Object(L"Item", {1}).Get() == trigger.Get());
    fixture.Save();
    CHECK(StoredTriggerCount(kTask) == 1);
    CHECK(StoredTrigger(kTask, 0).rgFlags == 0);
}

TEST_CASE("Item and Remove outside the collection fail and delete nothing")
{
    TriggerFixture fixture;
    fixture.Add(TASK_TIME_TRIGGER_DAILY);
    fixture.Save();
    for (long index : {0L, 2L, -1L}) {
        CAPTURE(index);
        Outcome item = fixture.triggers.Get(L"Item", {index});
        CHECK(Hex(item.error) == Hex(kSubscriptOutOfRange));
        CHECK(item.description == "Subscript out of range");
        Outcome removed = fixture.triggers.Call(L"Remove", {index});
        CHECK(Hex(removed.error) == Hex(kSubscriptOutOfRange));
    }
    fixture.Save();
    CHECK(fixture.triggers.Long(L"Count") == 1);
    CHECK(StoredTriggerCount(kTask) == 1);
}

TEST_CASE("typed properties work on their trigger types only")
{
    struct Property {
        const wchar_t* name;
        long value;
        std::initializer_list<int> types;
    };
    const Property properties[] = {
        {L"DaysInterval", 3, {TASK_TIME_TRIGGER_DAILY}},
        {L"WeeksInterval", 2, {TASK_TIME_TRIGGER_WEEKLY}},
        {L"DaysOfTheWeek", TASK_MONDAY | TASK_FRIDAY, {TASK_TIME_TRIGGER_WEEKLY, TASK_TIME_TRIGGER_MONTHLYDOW}},
        {L"Day", 0x0101, {TASK_TIME_TRIGGER_MONTHLYDATE}},
        {L"Months", TASK_MARCH | TASK_DECEMBER, {TASK_TIME_TRIGGER_MONTHLYDATE, TASK_TIME_TRIGGER_MONTHLYDOW}},
        {L"Week", TASK_LAST_WEEK, {TASK_TIME_TRIGGER_MONTHLYDOW}},
    };
    TriggerFixture fixture;
    for (int type = TASK_TIME_TRIGGER_ONCE; type <= TASK_EVENT_TRIGGER_AT_LOGON; ++type) {
        Automation trigger = fixture.Add(type);
        for (const Property& property : properties) {
            CAPTURE(type);
            CAPTURE(Narrow(property.name));
            bool valid = false;
            for (int allowed : property.types)
                valid = valid || allowed == type;
            Outcome put = trigger.Put(property.name, property.value);
            Outcome got = trigger.Get(property.name);
            if (valid) {
                CHECK(put.Ok());
                CHECK(got.Ok());
                CHECK(got.value.Long() == property.value);
            } else {
                CHECK(Hex(put.error) == Hex(kInvalidTriggerType));
                CHECK(put.description == "Invalid trigger type");
                CHECK(Hex(got.error) == Hex(kInvalidTriggerType));
            }
        }
        CHECK(trigger.Long(L"TriggerType") == type);
    }
}

TEST_CASE("each trigger type's properties reach the stored trigger")
{
    TriggerFixture fixture;
    Automation daily = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    REQUIRE(daily.Put(L"DaysInterval", 4).Ok());
    Automation weekly = fixture.Add(TASK_TIME_TRIGGER_WEEKLY);
    REQUIRE(weekly.Put(L"WeeksInterval", 2).Ok());
    REQUIRE(weekly.Put(L"DaysOfTheWeek", TASK_TUESDAY | TASK_SATURDAY).Ok());
    Automation monthly = fixture.Add(TASK_TIME_TRIGGER_MONTHLYDATE);
    REQUIRE(monthly.Put(L"Day", 1 << 14).Ok());  // day 15
    REQUIRE(monthly.Put(L"Months", TASK_JUNE).Ok());
    Automation weekday = fixture.Add(TASK_TIME_TRIGGER_MONTHLYDOW);
    REQUIRE(weekday.Put(L"Week", TASK_SECOND_WEEK).Ok());
    REQUIRE(weekday.Put(L"DaysOfTheWeek", TASK_WEDNESDAY).Ok());
    REQUIRE(weekday.Put(L"Months", TASK_JANUARY | TASK_JULY).Ok());
    Automation once = fixture.Add(TASK_TIME_TRIGGER_ONCE);
    REQUIRE(once.Put(L"Duration", 120).Ok());
    REQUIRE(once.Put(L"Interval", 30).Ok());
    REQUIRE(once.Put(L"RandomInterval", 5).Ok());
    CHECK(once.Long(L"RandomInterval") == 5);  // Wine's task files do not keep it
    REQUIRE(once.Put(L"Flags", TASK_TRIGGER_FLAG_HAS_END_DATE | TASK_TRIGGER_FLAG_KILL_AT_DURATION_END).Ok());
    REQUIRE(once.Put(L"BeginDay", Variant::Date(MakeDate(2027, 3, 14))).Ok());
    REQUIRE(once.Put(L"EndDay", Variant::Date(MakeDate(2027, 4, 1))).Ok());
    REQUIRE(once.Put(L"StartTime", Variant::Date(MakeDate(2027, 5, 5, 7, 45))).Ok());
    fixture.Save();

    REQUIRE(StoredTriggerCount(kTask) == 5);
    TASK_TRIGGER stored = StoredTrigger(kTask, 0);
    CHECK(stored.TriggerType == TASK_TIME_TRIGGER_DAILY);
    CHECK(stored.Type.Daily.DaysInterval == 4);
    stored = StoredTrigger(kTask, 1);
    CHECK(stored.Type.Weekly.WeeksInterval == 2);
    CHECK(stored.Type.Weekly.rgfDaysOfTheWeek == (TASK_TUESDAY | TASK_SATURDAY));
    stored = StoredTrigger(kTask, 2);
    CHECK(stored.Type.MonthlyDate.rgfDays == (1u << 14));
    CHECK(stored.Type.MonthlyDate.rgfMonths == TASK_JUNE);
    // Three different fields, each with the value it was given.
    stored = StoredTrigger(kTask, 3);
    CHECK(stored.Type.MonthlyDOW.wWhichWeek == TASK_SECOND_WEEK);
    CHECK(stored.Type.MonthlyDOW.rgfDaysOfTheWeek == TASK_WEDNESDAY);
    CHECK(stored.Type.MonthlyDOW.rgfMonths == (TASK_JANUARY | TASK_JULY));
    CHECK(weekday.Long(L"Week") == TASK_SECOND_WEEK);
    CHECK(weekday.Long(L"DaysOfTheWeek") == TASK_WEDNESDAY);
    CHECK(weekday.Long(L"Months") == (TASK_JANUARY | TASK_JULY));
    stored = StoredTrigger(kTask, 4);
    CHECK(stored.MinutesDuration == 120);
    CHECK(stored.MinutesInterval == 30);
    CHECK(stored.rgFlags == (TASK_TRIGGER_FLAG_HAS_END_DATE | TASK_TRIGGER_FLAG_KILL_AT_DURATION_END));
    CHECK(stored.wBeginYear == 2027);
    CHECK(stored.wBeginMonth == 3);
    CHECK(stored.wBeginDay == 14);
    CHECK(stored.wEndYear == 2027);
    CHECK(stored.wEndMonth == 4);
    CHECK(stored.wEndDay == 1);
    CHECK(stored.wStartHour == 7);
    CHECK(stored.wStartMinute == 45);
    // Dates read back as dates at midnight, the start as a time of day.
    CHECK(once.Get(L"BeginDay").value.Double() == MakeDate(2027, 3, 14));
    CHECK(once.Get(L"StartTime").value.Double() == doctest::Approx((7 * 60 + 45) / 1440.0));
}

TEST_CASE("a property of another trigger type leaves the trigger unchanged")
{
    TriggerFixture fixture;
    Automation weekly = fixture.Add(TASK_TIME_TRIGGER_WEEKLY);
    REQUIRE(weekly.Put(L"WeeksInterval", 3).Ok());
    REQUIRE(weekly.Put(L"DaysOfTheWeek", TASK_SUNDAY).Ok());
    fixture.Save();
    const TASK_TRIGGER before = StoredTrigger(kTask, 0);

    Outcome wrong = weekly.Put(L"DaysInterval", 9);
    CHECK(Hex(wrong.error) == Hex(kInvalidTriggerType));
    CHECK(weekly.Long(L"WeeksInterval") == 3);
    fixture.Save();
    const TASK_TRIGGER after = StoredTrigger(kTask, 0);
    CHECK(std::memcmp(&before, &after, sizeof(before)) == 0);
}

TEST_CASE("the 16-bit masks fail with Overflow outside -32768 to 32767")
{
    TriggerFixture fixture;
    Automation trigger = fixture.Add(TASK_TIME_TRIGGER_MONTHLYDOW);
    struct Case {
        long value;
        bool fits;
    };
    const Case cases[] = {{32767, true}, {-32768, true}, {32768, false}, {-32769, false}, {70000, false}};
    for (const wchar_t* property : {L"Months", L"DaysOfTheWeek", L"Week"}) {
        REQUIRE(trigger.Put(property, 1).Ok());
        for (const Case& c : cases) {
            CAPTURE(Narrow(property));
            CAPTURE(c.value);
            Outcome put = trigger.Put(property, c.value);
            if (c.fits) {
                CHECK(put.Ok());
                CHECK(trigger.Long(property) == c.value);
            } else {
                CHECK(Hex(put.error) == Hex(kOverflow));
                CHECK(put.description == "Overflow");
                CHECK(trigger.Long(property) != c.value);
            }
        }
    }
}

TEST_CASE("reading Interval and Flags changes nothing in the trigger")
{
    TriggerFixture fixture;
    Automation trigger = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    REQUIRE(trigger.Put(L"Interval", 15).Ok());
    REQUIRE(trigger.Put(L"Duration", 60).Ok());
    REQUIRE(trigger.Put(L"Flags", TASK_TRIGGER_FLAG_KILL_AT_DURATION_END).Ok());
    fixture.Save();
    const TASK_TRIGGER before = StoredTrigger(kTask, 0);

    // A fresh object reads the stored record; reading must not write anything back.
    REQUIRE(fixture.schedule.Call(L"Refresh").Ok());
    long index = IndexOf(fixture.schedule, kTask);
    REQUIRE(index > 0);
    Automation job = fixture.schedule.Object(L"Job", {index});
    Automation loaded = job.Object(L"Triggers").Object(L"Item", {1});
    CHECK(loaded.Long(L"Interval") == 15);
    CHECK(loaded.Long(L"Flags") == TASK_TRIGGER_FLAG_KILL_AT_DURATION_END);
    CHECK(loaded.Long(L"Interval") == 15);
    CHECK(loaded.Long(L"Flags") == TASK_TRIGGER_FLAG_KILL_AT_DURATION_END);
    REQUIRE(job.Call(L"Save").Ok());
    const TASK_TRIGGER after = StoredTrigger(kTask, 0);
    CHECK(std::memcmp(&before, &after, sizeof(before)) == 0);
}

TEST_CASE("Save writes a changed start time, and Text describes it")
{
    TriggerFixture fixture;
    Automation trigger = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    fixture.Save();
    REQUIRE(trigger.Put(L"StartTime", Variant::Date(MakeDate(1899, 12, 30, 22, 30))).Ok());
    CHECK(StoredTrigger(kTask, 0).wStartHour != 22);  // not written before Save
    fixture.Save();
    TASK_TRIGGER stored = StoredTrigger(kTask, 0);
    CHECK(stored.wStartHour == 22);
    CHECK(stored.wStartMinute == 30);
    std::string text = trigger.Text(L"Text");
    CHECK(text.find("22:30") != std::string::npos);
}

TEST_CASE("Day sets days 1 to 16 and keeps days 17 to 31")
{
    TriggerFixture fixture;
    Automation monthly = fixture.Add(TASK_TIME_TRIGGER_MONTHLYDATE);
    REQUIRE(monthly.Put(L"Months", 0xFFF).Ok());
    REQUIRE(monthly.Put(L"Day", 1).Ok());
    fixture.Save();
    {
        // Day 31 set through the system, as a property sheet would.
        ComPtr<ITask> task = LoadSystemTask(kTask);
        ComPtr<ITaskTrigger> trigger;
        REQUIRE(task->GetTrigger(0, trigger.Receive()) == S_OK);
        TASK_TRIGGER record = StoredTrigger(kTask, 0);
        record.Type.MonthlyDate.rgfDays = 1u | (1u << 30);
        REQUIRE(trigger->SetTrigger(&record) == S_OK);
        ComPtr<IPersistFile> file;
        REQUIRE(task->QueryInterface(IID_IPersistFile, file.ReceiveVoid()) == S_OK);
        REQUIRE(taskmere::RetryWhileShared([&] { return file->Save(nullptr, FALSE); }) == S_OK);
    }
    REQUIRE(fixture.schedule.Call(L"Refresh").Ok());
    long index = IndexOf(fixture.schedule, kTask);
    REQUIRE(index > 0);
    Automation job = fixture.schedule.Object(L"Job", {index});
    Automation loaded = job.Object(L"Triggers").Object(L"Item", {1});
    CHECK(loaded.Long(L"Day") == 1);
    // Day 16 is the sign bit of the 16-bit value; it must not spill into days 17 to 32.
    REQUIRE(loaded.Put(L"Day", -32768).Ok());
    REQUIRE(job.Call(L"Save").Ok());
    CHECK(StoredTrigger(kTask, 0).Type.MonthlyDate.rgfDays == ((1u << 15) | (1u << 30)));
}

TEST_CASE("NextRunTime follows the schedule")
{
    TriggerFixture fixture;
    Automation trigger = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    REQUIRE(trigger.Put(L"DaysInterval", 1).Ok());
    REQUIRE(trigger.Put(L"StartTime", Variant::Date(MakeDate(1899, 12, 30, 4, 5))).Ok());
    fixture.Save();
    SYSTEMTIME next{};
    REQUIRE(SUCCEEDED(LoadSystemTask(kTask)->GetNextRunTime(&next)));
    Outcome nextRun = fixture.job.Get(L"NextRunTime");
    CHECK(nextRun.Ok());
    SYSTEMTIME shown{};
    REQUIRE(VariantTimeToSystemTime(nextRun.value.Double(), &shown));
    CHECK(shown.wYear == next.wYear);
    CHECK(shown.wMonth == next.wMonth);
    CHECK(shown.wDay == next.wDay);
    CHECK(shown.wHour == next.wHour);
    CHECK(shown.wMinute == next.wMinute);
}

TEST_CASE("Update writes one trigger, Refresh reads it back")
{
    TriggerFixture fixture;
    Automation trigger = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    REQUIRE(trigger.Put(L"DaysInterval", 5).Ok());
    REQUIRE(trigger.Call(L"Update").Ok());
    REQUIRE(trigger.Put(L"DaysInterval", 6).Ok());
    REQUIRE(trigger.Call(L"Refresh").Ok());
    CHECK(trigger.Long(L"DaysInterval") == 5);
}

TEST_CASE("Remove keeps the remaining triggers in step with the task")
{
    TriggerFixture fixture;
    Automation daily = fixture.Add(TASK_TIME_TRIGGER_DAILY);
    REQUIRE(daily.Put(L"DaysInterval", 2).Ok());
    Automation weekly = fixture.Add(TASK_TIME_TRIGGER_WEEKLY);
    REQUIRE(weekly.Put(L"WeeksInterval", 3).Ok());
    REQUIRE(weekly.Put(L"DaysOfTheWeek", TASK_MONDAY).Ok());
    Automation monthly = fixture.Add(TASK_TIME_TRIGGER_MONTHLYDATE);
    REQUIRE(monthly.Put(L"Day", 4).Ok());
    REQUIRE(monthly.Put(L"Months", TASK_MAY).Ok());
    fixture.Save();

    REQUIRE(fixture.triggers.Call(L"Remove", {1}).Ok());
    CHECK(fixture.triggers.Long(L"Count") == 2);
    REQUIRE(weekly.Put(L"WeeksInterval", 4).Ok());
    fixture.Save();

    REQUIRE(StoredTriggerCount(kTask) == 2);
    TASK_TRIGGER first = StoredTrigger(kTask, 0);
    CHECK(first.TriggerType == TASK_TIME_TRIGGER_WEEKLY);
    CHECK(first.Type.Weekly.WeeksInterval == 4);
    CHECK(first.Type.Weekly.rgfDaysOfTheWeek == TASK_MONDAY);
    TASK_TRIGGER second = StoredTrigger(kTask, 1);
    CHECK(second.TriggerType == TASK_TIME_TRIGGER_MONTHLYDATE);
    CHECK(second.Type.MonthlyDate.rgfDays == 4u);
    CHECK(second.Type.MonthlyDate.rgfMonths == TASK_MAY);
    // The removed trigger no longer stands for anything in the task.
    CHECK(FAILED(daily.Call(L"Update").error));
}

TEST_CASE("Triggers.Update reloads the collection from the task")
{
    TriggerFixture fixture;
    fixture.Add(TASK_TIME_TRIGGER_DAILY);
    fixture.Add(TASK_TIME_TRIGGER_WEEKLY);
    fixture.Save();
    REQUIRE(fixture.triggers.Call(L"Update").Ok());
    CHECK(fixture.triggers.Long(L"Count") == 2);
    CHECK(fixture.triggers.Object(L"Item", {2}).Long(L"TriggerType") == TASK_TIME_TRIGGER_WEEKLY);

    Outcome enumerator = fixture.triggers.InvokeId(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    REQUIRE(enumerator.Ok());
    ComPtr<IEnumVARIANT> items;
    REQUIRE(V_UNKNOWN(enumerator.value.Get())->QueryInterface(IID_IEnumVARIANT, items.ReceiveVoid()) == S_OK);
    VARIANT fetchedItems[3];
    ULONG fetched = 0;
    CHECK(items->Next(3, fetchedItems, &fetched) == S_FALSE);
    CHECK(fetched == 2);
    for (ULONG i = 0; i < fetched; ++i)
        VariantClear(&fetchedItems[i]);
}
