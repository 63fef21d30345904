// One item a user chose by name, handed to the shredder that fits it: a folder to the folder
// shredder (and removed once emptied), a file to the file shredder, a link removed as a link,
// a drive root to the free-space wiper. The command-line job and the lists of the main window
// both go through here, so an item is checked the same way whichever road it took.
//
// An item is taken only as it is written: a full path ("X:\..." or "\\server\share\..."), never
// relative to some current folder, and never a name the system would quietly change (a trailing
// dot or blank is dropped by the system, so "file.txt." would mean "file.txt").
#pragma once

#include "engine/FolderShredder.h"
#include "engine/ShredContext.h"

#include <windows.h>

#include <string>

// Results of ShredJobItem.
enum class JobItemResult { Done = 0, Stop = 1, NotFound = 2 };

// The shredders a job hands its items to; JobShredders() is the engine, tests stand in for it.
class JobActions {
public:
    virtual ~JobActions() = default;
    // The item's full path and attributes; false when the item names no file or folder.
    virtual bool QueryStatus(const std::string& item, std::string& fullPath, DWORD& attributes) = 0;
    virtual bool ResolveShellPath(const std::string& text, std::string& path) = 0;
    virtual Flow ShredFile(ShredContext& context, const std::string& path) = 0;
    // The folder walk: done, stopped, or refused or skipped (then the folder is never removed).
    virtual FolderResult ShredFolder(ShredContext& context, const std::string& path, bool system) = 0;
    virtual void RemoveFolderIfEmpty(ShredContext& context, const std::string& path) = 0;
    virtual void RemoveLink(ShredContext& context, const std::string& path) = 0;
    virtual void WipeFreeSpace(ShredContext& context, const std::string& root) = 0;
    virtual void ShredRecycleBinNow(ShredContext& context) = 0;
};

JobActions& JobShredders();

// What the name of an item says before the disk is asked.
enum class ItemName {
    Usable,
    TooLong,             // does not fit a path buffer
    NotFullPath,         // relative, a drive letter alone ("C:"), "." or ".." parts, '/' ...
    TrailingDotOrBlank,  // the last part ends in '.' or ' ': the system would mean another name
};
ItemName CheckItemName(const std::string& item);

// The status query of an item by name, as the file system's find functions answer it: a drive
// root, a path with a trailing '\' and a name with wildcards are not found, nor is an entry
// whose name is not the one asked for (letter case aside; its short name counts).
bool QueryItemStatus(const std::string& item, std::string& fullPath, DWORD& attributes);

// Shreds one item that is not "recycle": a folder, a file or a drive's free space. An item that
// is too long or not a full path is reported here by name (then Stop when the person chose to
// stop); one that names nothing, or ends in a dot or a blank, gives NotFound for the caller's
// key 9053.
JobItemResult ShredJobItem(ShredContext& context, const std::string& item, JobActions& actions = JobShredders());
