// The application object: the run state every part of the program shares, its start-up and
// its end.
#pragma once

#include "common/ScopedWin.h"
#include "engine/PatternGenerator.h"

#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

class ProgressView;
class UserChannel;

// One drive letter: the root of a present fixed, removable or network drive, or empty.
struct DriveEntry {
    char root[4] = {};
    bool ntfs = false;
};

using GetDiskFreeSpaceExFunc = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
using GetDiskFreeSpaceFunc = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);

constexpr size_t TransferBufferSize = 65536;
constexpr int ProtectedFolderCount = 8;

class ShredApp {
public:
    ShredApp();
    ~ShredApp();
    ShredApp(const ShredApp&) = delete;
    ShredApp& operator=(const ShredApp&) = delete;

    // Runs the start-up sequence on the text after the program's name. Returns false when the
    // program must end; the reason has been shown or logged.
    bool InitInstance(const std::string& commandLine);

    // Shows the main window or runs the command-line job; returns when the program may end.
    void Run();

    // Frees what the run held; a silent run that logged nothing logs "Success". Returns the
    // process's exit status.
    int ExitInstance();

    void ParseCommandLine(const std::string& line);
    // Applies one token; false only when the item list cannot grow.
    bool HandleArgument(const std::string& token);

    // The text of a language key in the current pack ("Error" when missing).
    std::string LookupText(int key) const;

    // A message to the user: in silent mode it becomes the log text and is logged (the answer is
    // then positive); otherwise it is shown in the warning dialog. Returns the answer.
    int Report(int style, const std::string& text, bool big = false);

    // Command line and job.
    std::vector<std::string> items;
    bool silent = false;
    bool expectTaskName = false;
    int jobMethod = 0;
    int jobPassCount = 0;
    int jobFolderPolicy = 0;
    int jobRemovePolicy = 0;

    // Installation and language.
    std::string appPath;  // without a trailing '\'; shorter than MAX_PATH
    std::string language = "English";
    std::string title;    // key 9606, at most 199 characters
    AutoHandle instanceMutex;

    // Engine state.
    std::unique_ptr<unsigned char[]> transferBuffer;
    PatternGenerator generator;
    int stopRequest = 0;
    std::unique_ptr<ProgressView> progressWindow;
    HWND parentWindow = nullptr;
    std::string logText;
    std::string messageText;
    std::string protectedFolders[ProtectedFolderCount];
    DriveEntry drives[26];
    std::string sid;
    bool versionFlag = false;
    bool shellRecycleSupport = false;
    AutoLibrary kernelLibrary;
    GetDiskFreeSpaceExFunc getDiskFreeSpaceEx = nullptr;
    GetDiskFreeSpaceFunc getDiskFreeSpace = nullptr;

    // Automation drivers: the scheduler object and the task the scheduling front end works on.
    ComPtr<IDispatch> scheduler;
    ComPtr<IDispatch> taskDriver;

    // How the engine reaches the user; owned by the caller of InitInstance.
    UserChannel* channel = nullptr;

private:
    bool Fail(int key, const std::string& text = std::string());
    void CollectProtectedFolders();
    bool CheckShellRecycleSupport();
    bool FindFreeSpaceFunctions();
    bool BuildDriveTable();
    bool FillUserSid(bool someDriveNtfs);

    std::unique_ptr<ScopedCom> com_;
};

// The program folder: the running program file's path up to its last '\'.
std::string ProgramFolder();
