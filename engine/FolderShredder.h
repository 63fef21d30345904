// The folder shredder: walks a folder tree depth-first, hands every file to ShredFile and removes
// emptied subfolders as the subfolder policy asks. A walk never follows a link (junction,
// directory symbolic link or any other reparse point): it removes the link and leaves its target.
// Also the read-only check that settles the policy before a folder is scheduled.
//
// A walk acts only on names that came through exactly: an entry whose name the program's code
// page cannot hold is reached by its short (8.3) name, or left whole and reported; a name that
// would lead out of the folder ("\", "/", ":", dots only, a trailing dot or blank) is never
// used; and every child path is checked to lie right below the folder walked. Protected folders
// are recognised by their path and by their identity, however they are named.
#pragma once

#include "engine/FileIdentity.h"
#include "engine/FileShredder.h"
#include "engine/ShredContext.h"

#include <windows.h>

#include <memory>
#include <string>

// How a walk treats the folder it is given.
enum class WalkMode {
    User = 0,    // the user's folder: protection, system question and subfolder policy apply
    Forced = 1,  // everything below is shredded and removed, nothing is asked
    Bin = 2,     // like forced, but the folder's own subfolders are kept (emptied)
};

// Results of ShredFolder. A skipped folder (protected, declined, a link, too long) is left as it
// was: callers never remove it afterwards, even when it is empty.
enum class FolderResult { Done = 0, Stopped = 1, Skipped = 2 };

// Results of the schedule checks.
enum class ScheduleCheck { Missing = 0, Cancelled = 1, Passed = 2 };

// One entry of a folder listing.
struct FolderEntry {
    char name[MAX_PATH];  // in the program's code page; '?' where it cannot hold a character
    DWORD attributes;
    bool exact = true;        // `name` is the entry's whole name, exactly
    char shortName[14] = {};  // the short (8.3) name where the volume keeps one
};

// An open folder listing; it is closed when the object goes.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // The next entry, starting with the first one; false at the end.
    virtual bool Next(FolderEntry& entry) = 0;
};

// What a walk does to the disk. DiskFolders() is the real file system; tests stand in for it.
class FolderSystem {
public:
    virtual ~FolderSystem() = default;
    // Lists a pattern such as "C:\dir\*.*"; null when the listing cannot be opened.
    virtual std::unique_ptr<FolderListing> List(const std::string& pattern) = 0;
    // The attributes of a path, INVALID_FILE_ATTRIBUTES when it cannot be queried.
    virtual DWORD Attributes(const std::string& path) = 0;
    // Shreds one file found in a walk.
    virtual Flow ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin) = 0;
    // Removes an empty folder; 0 once it is gone, or the runtime's error number (errno), EACCES
    // for a folder that is still there although the removal reported success.
    virtual int RemoveFolder(const std::string& path) = 0;
    // Gives a folder another name in the same parent; 0 once it is done, or the system's error
    // code. A name that is taken is never replaced.
    virtual DWORD RenameFolder(const std::string& from, const std::string& to) = 0;
    // Creates an empty file under a name no entry has, and deletes such a file again; 0 once it
    // is done, or the system's error code.
    virtual DWORD CreateEmptyFile(const std::string& path) = 0;
    virtual DWORD DeleteEmptyFile(const std::string& path) = 0;
    // Removes a link itself, never what it points to. 0 once it is gone, or the system's error
    // code (ERROR_ACCESS_DENIED for a link still there although the removal reported success).
    virtual DWORD RemoveLink(const std::string& path, bool directory) = 0;
    // The identity of what a path reaches; false when it cannot be opened.
    virtual bool Identity(const std::string& path, FileIdentity& identity) = 0;
    // The final path of what a link points to; empty when it points nowhere.
    virtual std::string LinkTarget(const std::string& path) = 0;
};

FolderSystem& DiskFolders();

// Shreds the files below `path` (a full path without a trailing '\') by `mode`; `system` tells
// whether the folder carries the system attribute. Returns FolderResult::Done (walked to its
// end), ::Skipped (refused or declined: left as it was) or ::Stopped; a stop ends every
// enclosing walk.
FolderResult ShredFolder(ShredContext& context, const std::string& path, bool system, WalkMode mode,
                         FolderSystem& disk = DiskFolders());

// Removes the top folder of a user walk when nothing but "." and ".." is left in it; a failed
// removal is reported and marks the run incomplete. A protected folder is never removed.
//
// Every emptied folder a walk or this removes is first given a random name of the same length
// in its parent, as a file is before it is deleted, so that its own name is left neither in its
// parent's index nor in its own record; when the removal then fails, it gets its name back
// before the failure is reported. A removed name stays in its parent's index behind the entries
// in use until new entries take that room: so after the removal two empty files with random
// names of the same length are made in the parent and deleted again, and what stays behind the
// entries are those names. (In a large index they land where their names sort, which need not be
// the block the old name was in.) Never renamed: a drive's or a share's root, a protected
// folder, the Recycle Bin's own folders (RECYCLED, RECYCLER or $Recycle.Bin at a root and the
// users' folders in it), and a folder reached by its short name (its long name would be lost).
void RemoveFolderIfEmpty(ShredContext& context, const std::string& path, FolderSystem& disk = DiskFolders());

// Checks a folder about to be scheduled: every file, and the subfolder policy, which it asks for
// and stores once. Returns ScheduleCheck::Cancelled or ::Passed.
ScheduleCheck CheckFolderForSchedule(ShredContext& context, const std::string& path, bool system,
                                     FolderSystem& disk = DiskFolders());

// Checks one file of such a folder: Missing, Cancelled or Passed.
ScheduleCheck CheckFolderFileForSchedule(ShredContext& context, const std::string& path,
                                         FolderSystem& disk = DiskFolders());

// Removes a link met as an item or in a walk and tells the user that its target was not
// shredded (or why the link stayed). Afterwards the link must be gone and its target still there.
void RemoveLinkItem(ShredContext& context, const std::string& path, bool directory, FolderSystem& disk = DiskFolders());

// True when a path fits the 260-character path buffers, terminator included.
inline bool FitsPathBuffer(const std::string& path)
{
    return path.size() < MAX_PATH;
}

// Tells the user that `path` is too long to be handled and was left untouched.
void ReportLongChildPath(ShredContext& context, const std::string& path);

// The path by which a walk of `folder` may act on `entry`: its own name, or its short name when
// its own cannot be used; false (reported) when neither can, and the entry is then left whole.
bool ChildPathOf(ShredContext& context, const std::string& folder, const FolderEntry& entry, std::string& child);

// The text of a failed folder removal: the runtime's description of `error` and its number.
std::string RemovalFailureText(const ShredContext& context, const std::string& path, int error);
