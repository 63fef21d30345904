// short_name PATH: prints the short (8.3) form of PATH, as the file system keeps it, in UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: short_name PATH\n");
        return 2;
    }
    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(argv[1], shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        std::fprintf(stderr, "short_name: no short name for %ls (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    char text[MAX_PATH * 3];
    int size = WideCharToMultiByte(CP_UTF8, 0, shortPath, -1, text, sizeof(text), nullptr, nullptr);
    if (size == 0)
        return 1;
    std::fputs(text, stdout);
    return 0;
}
