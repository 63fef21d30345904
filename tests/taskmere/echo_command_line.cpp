// echo_command_line: writes its whole command line, as it received it, to the file
// "command line.txt" in its working folder, so a test can see how a scheduled task was started.
// (Wine's task scheduler passes only the task's parameters, without the program's name.)
#include <windows.h>

#include <string>

int main()
{
    const wchar_t* line = GetCommandLineW();
    int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return 3;
    std::string text(size - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, &text[0], size, nullptr, nullptr);
    // Written under another name first, so a reader never sees half a file.
    HANDLE file = CreateFileW(L"command line.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size())
        return 5;
    return MoveFileExW(L"command line.part", L"command line.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}
