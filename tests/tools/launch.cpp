// launch PROGRAM RAW-ARGUMENTS: starts PROGRAM with exactly RAW-ARGUMENTS after its name, as the
// task scheduler or the shell pass a command line, waits for it and returns its exit code.
// Everything goes through the wide functions, so names outside this program's code page reach
// the program whole.
//
// When the environment names a file in NW_LAUNCH_RESULT, launch writes the exit code it returns
// there as its last act. A caller that finds no such file knows that launch itself was ended
// (Wine ends every process of a session its server shuts down), not the program it started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int Finish(int code)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"NW_LAUNCH_RESULT", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        if (FILE* file = _wfopen(path, L"w")) {
            std::fprintf(file, "%d\n", code);
            std::fclose(file);
        }
    }
    return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: launch PROGRAM [RAW-ARGUMENTS]\n");
        return Finish(2);
    }
    std::wstring line = std::wstring(L"\"") + argv[1] + L"\"";
    if (argc > 2)
        line += std::wstring(L" ") + argv[2];
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Under load Wine now and then fails to set up a new process (ERROR_INTERNAL_ERROR); the
    // program did not run, so it is started again.
    for (int attempt = 1;; ++attempt) {
        std::wstring writable = line;
        if (CreateProcessW(argv[1], &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            break;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            std::fprintf(stderr, "launch: cannot start %ls (error %lu)\n", argv[1], error);
            return Finish(2);
        }
        std::fprintf(stderr, "launch: starting %ls failed (error %lu); starting it again\n", argv[1], error);
        Sleep(1000);
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return Finish(static_cast<int>(code));
}
