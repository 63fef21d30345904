// Identifiers of the program's resources.
#pragma once

// The program's icon and strings.
#define IDI_PROGRAM 128
#define IDS_ABOUTBOX 101

// Dialog templates.
#define IDD_WARNING 140
#define IDD_BIG_WARNING 141
#define IDD_SUBFOLDER_OPTIONS 142
#define IDD_PROGRESS 143
#define IDD_MAIN 144
#define IDD_ABOUT 145
#define IDD_TASK_NAME 146
#define IDD_SHELL_NOTICE 147
#define IDD_SPLASH 148

// Controls shared by the movie windows.
#define IDC_MOVIE 1060
#define IDC_WARNING_NO 7
#define IDC_HELP_BUTTON 9

// Warning dialogs: the title and message shown when the movie cannot play.
#define IDC_WARNING_TITLE 1100
#define IDC_WARNING_TEXT 1101

// Subfolder options dialog.
#define IDC_CONTENTS_NEVER 1002
#define IDC_CONTENTS_PROMPT 1003
#define IDC_CONTENTS_ALWAYS 1004
#define IDC_REMOVE_NEVER 1005
#define IDC_REMOVE_PROMPT 1006
#define IDC_REMOVE_ALWAYS 1007
#define IDC_REMOVE_GROUP 1029
#define IDC_CONTENTS_GROUP 1043

// Progress window.
#define IDC_PROGRESS_LINE1 1024
#define IDC_PROGRESS_LINE2 1025
#define IDC_PROGRESS_LINE3 1026
#define IDC_PROGRESS_BAR 1027

// Main window: where the skin and splash components sat (our stand-ins need no room), and the
// system menu's About command.
#define IDC_SKIN 1061
#define IDC_SPLASH 1062
#define IDM_ABOUTBOX 0x0010

// About dialog.
#define IDC_SYSTEM_INFO 1038
#define IDC_ABOUT_VERSION 1041
#define IDC_ABOUT_NAME 1043
#define IDC_ABOUT_ICON 1057

// Task-name dialog: the label and field shown when the movie cannot play.
#define IDC_TASK_NAME_LABEL 1110
#define IDC_TASK_NAME_EDIT 1111

// Notice dialog.
#define IDC_NOTICE_DONT_SHOW 1007
#define IDC_NOTICE_TEXT 1008
