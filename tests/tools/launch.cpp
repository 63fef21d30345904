// launch PROGRAM RAW-ARGUMENTS: starts PROGRAM with exactly RAW-ARGUMENTS after its name, as the
// task scheduler or the shell pass a command line, waits for it and returns its exit code.
// Everything goes through the wide functions, so names outside this program's code page reach
// the program whole.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: launch PROGRAM [RAW-ARGUMENTS]\n");
        return 2;
    }
    std::wstring line = std::wstring(L"\"") + argv[1] + L"\"";
    if (argc > 2)
        line += std::wstring(L" ") + argv[2];
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "launch: cannot start %ls (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
