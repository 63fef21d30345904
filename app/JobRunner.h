// The command-line job: the items of the command line, shredded one after another without the
// main window, after a confirmation unless the job is silent.
#pragma once

#include <windows.h>

#include <string>

class ShredApp;

// Results of ShredJobItem.
enum JobItemResult { JobItemDone = 0, JobItemStop = 1, JobItemNotFound = 2 };

// The shredders a job hands its items to; JobShredders() is the engine, tests stand in for it.
class JobActions {
public:
    virtual ~JobActions() = default;
    // The item's full path and attributes; false when the item names no file or folder.
    virtual bool QueryStatus(const std::string& item, std::string& fullPath, DWORD& attributes) = 0;
    virtual bool ResolveShellPath(const std::string& text, std::string& path) = 0;
    virtual bool ShredFile(ShredApp& app, const std::string& path) = 0;
    virtual int ShredFolder(ShredApp& app, const std::string& path, bool system) = 0;
    virtual void RemoveFolderIfEmpty(ShredApp& app, const std::string& path) = 0;
    virtual void RemoveLink(ShredApp& app, const std::string& path) = 0;
    virtual void WipeFreeSpace(ShredApp& app, const std::string& root) = 0;
    virtual void ShredRecycleBinNow(ShredApp& app) = 0;
};

JobActions& JobShredders();

// The status query of an item by name, as the file system's find functions answer it: a drive
// root, a path with a trailing '\' and a name with wildcards are not found.
bool QueryItemStatus(const std::string& item, std::string& fullPath, DWORD& attributes);

// Runs the job of the command line's items.
void RunCommandLineJob(ShredApp& app, JobActions& actions = JobShredders());

// Shreds one item that is not "recycle": a folder, a file or a drive's free space.
int ShredJobItem(ShredApp& app, const std::string& item, JobActions& actions = JobShredders());
