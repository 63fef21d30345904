// What the engine reads and writes during a run, in one place: the texts and title of its
// messages, silent mode and the job's settings, the machine's facts collected at start-up, the
// transfer buffer and its generator, the stop request, the progress window and its parent, and
// the way to the person at the screen. The application owns one for the program's life and
// hands it to every engine operation; tests build their own without starting the application.
#pragma once

#include "engine/PatternGenerator.h"
#include "engine/UserChannel.h"

#include <windows.h>

#include <memory>
#include <string>

// What the caller of a shredding operation does next: go on with its next item, or end the
// whole run.
enum class Flow { GoOn, Stop };

// One drive letter: the root of a present fixed, removable or network drive, or empty.
struct DriveEntry {
    char root[4] = {};
    bool ntfs = false;
};

using GetDiskFreeSpaceExFunc = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
using GetDiskFreeSpaceFunc = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);

constexpr size_t TransferBufferSize = 65536;
constexpr int ProtectedFolderCount = 8;

// Facts of the machine, collected once at start-up.
struct MachineFacts {
    DriveEntry drives[26];
    // The Windows and system folders, the shell's Fonts, Start Menu, Programs and Desktop
    // folders, and the system folder's IOSUBSYS and VMM32; an entry that could not be resolved
    // is empty.
    std::string protectedFolders[ProtectedFolderCount];
    std::string sid;           // the user's security identifier as text; empty where no bin needs it
    bool versionFlag = false;  // NT 5.1 or Windows ME: the wiper shows its notice first
    // The free-space queries of the system library; either may be missing.
    GetDiskFreeSpaceExFunc getDiskFreeSpaceEx = nullptr;
    GetDiskFreeSpaceFunc getDiskFreeSpace = nullptr;
};

// A command-line job's settings; 0 where the switch is absent.
struct JobSettings {
    int method = 0;
    int passCount = 0;
    bool passCountGiven = false;  // the line had a "/T" switch
    int folderPolicy = 0;
    int removePolicy = 0;
};

// Passes of thorough shredding: a run always writes 1 to 10, 3 unless told otherwise.
constexpr int MinPassCount = 1;
constexpr int MaxPassCount = 10;
constexpr int DefaultPassCount = 3;

// The stored PassCount when it is 1 to 10, else 3.
int UsablePassCount(int stored);
// A job's count: as given when 1 to 10, 10 above that, otherwise (missing, 0, negative) the
// stored count by UsablePassCount.
int UsableJobPassCount(int given, int stored);

class ShredContext {
public:
    ShredContext() = default;
    ShredContext(const ShredContext&) = delete;
    ShredContext& operator=(const ShredContext&) = delete;

    // The text of a language key in the current pack ("Error" when missing).
    std::string LookupText(int key) const;

    // The method, pass count and subfolder policies of the run: the job's in silent mode, the
    // stored settings otherwise (read afresh at every call). The pass count is always 1 to 10.
    int Method() const;
    int PassCount() const;
    int FolderPolicy() const;
    int RemovePolicy() const;

    // Allocates the transfer buffer once; false when memory runs out.
    bool AllocateTransferBuffer();

    // Texts: the installation folder (without a trailing '\') and the language pick the pack;
    // the title (key 9606, at most 199 characters) heads every message.
    std::string appPath;
    std::string language = "English";
    std::string title;

    // The job.
    bool silent = false;
    JobSettings job;

    MachineFacts machine;

    // The run.
    std::unique_ptr<unsigned char[]> transferBuffer;
    PatternGenerator generator;
    int stopRequest = 0;
    std::unique_ptr<ProgressView> progressWindow;
    HWND parentWindow = nullptr;  // the main window while it is open

    // The way to the person at the screen (engine/Reporting.h applies the rules); none in
    // a program without windows.
    UserChannel* channel = nullptr;
    // The last message logged; empty as long as the run logged nothing.
    std::string logText;
    // Something the run was asked to destroy is still there, or the run ended before its last
    // item: a file stopped before its data was overwritten, an entry that a delete or removal
    // left, a cancelled wipe, an item that stopped the job. Such a run never ends in "Success".
    bool incomplete = false;
};

// The drive table's entry for the drive that `path` starts with ("C:\..." or "C:", in either
// case), or null when it starts with no drive letter.
const DriveEntry* DriveEntryOf(const ShredContext& context, const std::string& path);
// Whether the drive table lists the drive of `path` as NTFS.
bool IsNtfsDrive(const ShredContext& context, const std::string& path);

// A silent job's pass count made usable once, at start-up: a count that had to be corrected
// is said in the log when the job's method uses it.
void SettleJobPassCount(ShredContext& context);
