// volume_info ROOT: prints what Windows reports for a drive root ("N:\") on one line: the file
// system's name, the drive type, the free bytes available to the caller and in total, and 1 when
// the list of logical drives holds the drive (0 when not), e.g. "NTFS 3 63032320 63032320 1".
// Exit status 1 when the volume information cannot be read (the line then starts with "-" and
// the system's error code).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: volume_info ROOT\n");
        return 2;
    }
    char fileSystem[MAX_PATH + 1] = {};
    BOOL known = GetVolumeInformationA(argv[1], nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof(fileSystem));
    DWORD error = known ? 0 : GetLastError();
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    if (!GetDiskFreeSpaceExA(argv[1], &available, &total, &totalFree)) {
        available.QuadPart = 0;
        totalFree.QuadPart = 0;
    }
    if (known)
        std::printf("%s", fileSystem);
    else
        std::printf("-%lu", error);
    char letter = argv[1][0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    bool listed = letter >= 'A' && letter <= 'Z' && (GetLogicalDrives() & (1u << (letter - 'A')));
    std::printf(" %u %llu %llu %d\n", GetDriveTypeA(argv[1]), available.QuadPart, totalFree.QuadPart, listed ? 1 : 0);
    return known ? 0 : 1;
}
