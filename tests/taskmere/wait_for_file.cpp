// wait_for_file PATH SECONDS: waits until PATH exists, at most SECONDS. Exit code 0 when it
// appeared, 1 when it did not. While it waits, the Wine session (and with it the task scheduler
// service) stays alive.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const long seconds = std::wcstol(argv[2], nullptr, 10);
    for (long waited = 0; waited <= seconds * 10; ++waited) {
        if (GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES)
            return 0;
        Sleep(100);
    }
    return 1;
}
