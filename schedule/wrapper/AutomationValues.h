// Conversions between the task scheduler's values and automation values.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace taskmere {

// Copies a string the task scheduler allocated into a new BSTR and frees the original with the
// task allocator. `hr` is the result of the call that produced `text` (call it in a statement of
// its own: argument order is unspecified); it is returned unchanged
// unless the copy runs out of memory.
HRESULT TakeTaskString(HRESULT hr, LPWSTR text, BSTR* value);

// A system time as an automation date; a time that does not convert (a task that never ran has
// an all-zero time) gives the zero date.
DATE DateFromSystemTime(const SYSTEMTIME& time);

// The calendar date (year, month, day) and the time of day (hour, minute) of an automation date.
bool SplitDate(DATE value, WORD* year, WORD* month, WORD* day);
bool SplitTimeOfDay(DATE value, WORD* hour, WORD* minute);

// A date made of year, month and day at midnight (zero date when they do not form a date), and a
// time of day made of hour and minute (seconds 0).
DATE DateFromParts(WORD year, WORD month, WORD day);
DATE TimeOfDay(WORD hour, WORD minute);

// The range check of the 16-bit trigger masks: true when `value` fits a signed 16-bit number.
inline bool FitsInteger(long value)
{
    return value >= -32768 && value <= 32767;
}

}  // namespace taskmere
