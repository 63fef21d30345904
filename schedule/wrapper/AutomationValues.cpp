#include "AutomationValues.h"

#include <objbase.h>

namespace taskmere {

HRESULT TakeTaskString(HRESULT hr, LPWSTR text, BSTR* value)
{
    *value = nullptr;
    if (SUCCEEDED(hr)) {
        *value = SysAllocString(text ? text : L"");
        if (!*value)
            hr = E_OUTOFMEMORY;
    }
    CoTaskMemFree(text);
    return hr;
}

DATE DateFromSystemTime(const SYSTEMTIME& time)
{
    // SystemTimeToVariantTime rolls impossible fields over (month 0 of year 0 becomes November
    // 1999), so the calendar is checked first.
    SYSTEMTIME copy = time;
    FILETIME check;
    if (!SystemTimeToFileTime(&copy, &check))
        return 0;
    DATE value = 0;
    if (!SystemTimeToVariantTime(&copy, &value))
        return 0;
    return value;
}

bool SplitDate(DATE value, WORD* year, WORD* month, WORD* day)
{
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(value, &time))
        return false;
    *year = time.wYear;
    *month = time.wMonth;
    *day = time.wDay;
    return true;
}

bool SplitTimeOfDay(DATE value, WORD* hour, WORD* minute)
{
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(value, &time))
        return false;
    *hour = time.wHour;
    *minute = time.wMinute;
    return true;
}

DATE DateFromParts(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    return DateFromSystemTime(time);
}

DATE TimeOfDay(WORD hour, WORD minute)
{
    return (hour * 60 + minute) / 1440.0;
}

}  // namespace taskmere
