// hold_library DLL MARKFILE: keeps DLL loaded, as the file manager keeps its context-menu
// extension, from the moment it has written MARKFILE until MARKFILE has been deleted (or ten
// minutes have passed). Exits 0, or 2 when the library cannot be loaded.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hold_library DLL MARKFILE\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) {
        std::fprintf(stderr, "hold_library: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    FILE* mark = std::fopen(argv[2], "w");
    if (!mark) {
        FreeLibrary(library);
        return 2;
    }
    std::fputs("loaded\n", mark);
    std::fclose(mark);
    for (int tries = 0; tries < 6000 && GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES; ++tries)
        Sleep(100);
    FreeLibrary(library);
    return 0;
}
