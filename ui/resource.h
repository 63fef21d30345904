// Identifiers of the program's resources.
#pragma once

// Dialog templates.
#define IDD_WARNING 140
#define IDD_BIG_WARNING 141
#define IDD_SUBFOLDER_OPTIONS 142
#define IDD_PROGRESS 143

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
