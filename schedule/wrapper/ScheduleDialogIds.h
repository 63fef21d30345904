// Resource ids of Taskmere's schedule dialog, shared by the .rc file, the dialog and its tests.
#pragma once

#define IDD_SCHEDULE 100

#define IDC_SCHEDULE_KIND 1001
#define IDC_START_DATE 1002
#define IDC_START_TIME 1003
#define IDC_EVERY_DAYS 1004
// One check box per day; id - IDC_SUNDAY is the day's bit number in the days-of-the-week mask.
#define IDC_SUNDAY 1010
#define IDC_MONDAY 1011
#define IDC_TUESDAY 1012
#define IDC_WEDNESDAY 1013
#define IDC_THURSDAY 1014
#define IDC_FRIDAY 1015
#define IDC_SATURDAY 1016
#define IDC_MONTH_DAY 1020
#define IDC_ENABLED 1021
#define IDC_PROBLEM 1022
