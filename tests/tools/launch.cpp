// launch PROGRAM RAW-ARGUMENTS: starts PROGRAM with exactly RAW-ARGUMENTS after its name, as the
// task scheduler or the shell pass a command line, waits for it and returns its exit code.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: launch PROGRAM [RAW-ARGUMENTS]\n");
        return 2;
    }
    std::string line = std::string("\"") + argv[1] + "\"";
    if (argc > 2)
        line += std::string(" ") + argv[2];
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "launch: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
