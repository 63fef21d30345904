// The Recycle Bin shredder: overwrites every deleted file in the bin folders of every drive,
// shreds deleted folders with the folder shredder, then lets the shell empty each bin so that its
// index stays consistent.
#pragma once

#include "engine/ShredContext.h"

#include <windows.h>

#include <string>

class FolderSystem;

// The shell's Recycle Bin functions, looked up by name for each run; tests stand in for them.
class RecycleBinShell {
public:
    enum class LoadResult { Loaded, NoLibrary, NoFunctions };
    virtual ~RecycleBinShell() = default;
    // Finds the two functions for a run; Unload gives the library back.
    virtual LoadResult Load() = 0;
    virtual void Unload() = 0;
    // The number of items in a drive's bin; S_OK or the shell's failure code.
    virtual HRESULT Query(const std::string& root, long long* items) = 0;
    // Empties a drive's bin without confirmation, progress or sound.
    virtual void Empty(const std::string& root) = 0;
};

// SHQueryRecycleBinA and SHEmptyRecycleBinA of SHELL32.DLL.
RecycleBinShell& SystemRecycleBin();

// Where a system keeps its bins: RECYCLED\ or Recycler\<SID>\ (Windows 9x and NT up to 5.x), or
// $Recycle.Bin\<SID>\ on every drive (NT 6 and later).
enum class BinLayout { Classic, PerUser };
BinLayout SystemBinLayout();

// The current user's bin folder on drive `letter` (0 for A), with its trailing '\'. Empty when
// the drive has no root, or when the folder needs the user's SID and it cannot be read.
std::string BinFolder(ShredContext& context, int letter, BinLayout layout);

// The bin's own files, which are never shredded: "INFO2" and "desktop.ini", and on the per-user
// layout the "$I..." index files.
bool IsBinIndexFile(const char* name, BinLayout layout);

// The 65 bytes written to "desktop.ini" of an emptied bin folder in the classic layout.
extern const char BinDesktopIni[];
constexpr DWORD BinDesktopIniSize = 65;

void ShredRecycleBin(ShredContext& context);
void ShredRecycleBin(ShredContext& context, RecycleBinShell& shell, BinLayout layout, FolderSystem& disk);

// The Recycle Bin alert (unless the setting "BinAlertDisabled" is set), then ShredRecycleBin.
void ShredRecycleBinNow(ShredContext& context);
void ShredRecycleBinNow(ShredContext& context, RecycleBinShell& shell, BinLayout layout, FolderSystem& disk);
