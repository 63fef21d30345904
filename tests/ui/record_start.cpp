// Records how it was started, for tests of programs that start others through the shell: writes
// "show=N folder=PATH" (the show state asked for and the working folder) to a file named like
// itself with ".started" appended, and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 8)
        return 2;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    char record[MAX_PATH + 8];
    std::snprintf(record, sizeof(record), "%s.started", self);
    FILE* file = std::fopen(record, "w");
    if (!file)
        return 2;
    std::fprintf(file, "show=%d folder=%s", (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1, folder);
    std::fclose(file);
    return 0;
}
