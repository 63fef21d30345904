// One item a user chose by name, handed to the shredder that fits it: a folder to the folder
// shredder (and removed once emptied), a file to the file shredder, a link removed as a link,
// a drive root to the free-space wiper. The command-line job and the lists of the main window
// both go through here, so an item is checked the same way whichever road it took.
#pragma once

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
    // The folder walk's result: stopped or not.
    virtual bool ShredFolder(ShredContext& context, const std::string& path, bool system) = 0;
    virtual void RemoveFolderIfEmpty(ShredContext& context, const std::string& path) = 0;
    virtual void RemoveLink(ShredContext& context, const std::string& path) = 0;
    virtual void WipeFreeSpace(ShredContext& context, const std::string& root) = 0;
    virtual void ShredRecycleBinNow(ShredContext& context) = 0;
};

JobActions& JobShredders();

// The status query of an item by name, as the file system's find functions answer it: a drive
// root, a path with a trailing '\' and a name with wildcards are not found.
bool QueryItemStatus(const std::string& item, std::string& fullPath, DWORD& attributes);

// Shreds one item that is not "recycle": a folder, a file or a drive's free space.
JobItemResult ShredJobItem(ShredContext& context, const std::string& item, JobActions& actions = JobShredders());
