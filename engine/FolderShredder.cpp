#include "engine/FolderShredder.h"

#include "common/CodePage.h"
#include "common/ScopedWin.h"
#include "common/Settings.h"
#include "common/SystemError.h"
#include "engine/Reporting.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"

#include <direct.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// How long the names are that refill an NTFS folder index: long, so that few entries fill it.
constexpr size_t RefillNameLength = 200;

// Lists with the wide functions, so that each name is known exactly and its conversion to the
// program's code page can be checked, never taken with the look-alikes of a best fit.
class FindListing : public FolderListing {
public:
    explicit FindListing(const std::string& pattern) : find_(FindFirstFileW(CodePage::Widen(pattern).c_str(), &data_)) {}
    bool IsOpen() const { return find_.IsValid(); }
    bool Next(FolderEntry& entry) override
    {
        if (!find_)
            return false;
        if (!first_ && !FindNextFileW(find_.Get(), &data_))
            return false;  // the end of the listing, or a failure that ends it the same way
        first_ = false;
        std::string name;
        entry.exact = CodePage::Narrow(data_.cFileName, name) && name.size() < sizeof(entry.name);
        lstrcpynA(entry.name, name.c_str(), sizeof(entry.name));  // cut only when not exact
        std::string shortName;
        entry.shortName[0] = '\0';
        if (CodePage::Narrow(data_.cAlternateFileName, shortName) && shortName.size() < sizeof(entry.shortName))
            std::memcpy(entry.shortName, shortName.c_str(), shortName.size() + 1);
        entry.attributes = data_.dwFileAttributes;
        return true;
    }

private:
    WIN32_FIND_DATAW data_;
    AutoFindHandle find_;
    bool first_ = true;
};

class Disk : public FolderSystem {
public:
    std::unique_ptr<FolderListing> List(const std::string& pattern) override
    {
        auto listing = std::make_unique<FindListing>(pattern);
        if (!listing->IsOpen())
            return nullptr;
        return listing;
    }
    DWORD Attributes(const std::string& path) override { return GetFileAttributesA(path.c_str()); }
    Flow ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin) override
    {
        return ::ShredFile(context, path, origin);
    }
    int RemoveFolder(const std::string& path) override
    {
        // The runtime's call, so that errno names the reason in the runtime's own words.
        if (_rmdir(path.c_str()) == 0)
            // A removal can report success and leave the folder (its parent's entries cannot
            // change); what stays was not removed, whatever the call said.
            return EntryIsGone(path) ? 0 : EACCES;
        return errno != 0 ? errno : EACCES;
    }
    DWORD RenameFolder(const std::string& from, const std::string& to) override
    {
        // MoveFileA never replaces an entry that has the new name.
        return MoveFileA(from.c_str(), to.c_str()) ? 0 : GetLastError();
    }
    DWORD CreateEmptyFile(const std::string& path) override
    {
        AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? 0 : GetLastError();
    }
    DWORD DeleteEmptyFile(const std::string& path) override
    {
        if (!DeleteFileA(path.c_str()))
            return GetLastError();
        return EntryIsGone(path) ? 0 : ERROR_ACCESS_DENIED;
    }
    DWORD RemoveLink(const std::string& path, bool directory) override { return RemoveLinkItself(path, directory); }
    bool Identity(const std::string& path, FileIdentity& identity) override { return IdentityOf(path, identity); }
    std::string LinkTarget(const std::string& path) override { return LinkTargetOf(path); }
};

bool IsDots(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// A name that can mean nothing but an entry of the folder it is listed in: no separator, no
// stream or drive colon, no wildcard or other character a name cannot hold, not dots alone, and
// no trailing dot or blank (which the system drops, naming another entry).
bool IsPlainName(const char* name)
{
    if (name[0] == '\0')
        return false;
    bool dotsOnly = true;
    for (const char* at = name; *at; ++at) {
        unsigned char ch = static_cast<unsigned char>(*at);
        if (ch < 0x20 || std::strchr("\\/:*?\"<>|", ch))
            return false;
        dotsOnly = dotsOnly && ch == '.';
    }
    char last = name[std::strlen(name) - 1];
    return !dotsOnly && last != '.' && last != ' ';
}

// True when the system reads `child` as exactly that path: nothing in it climbs out of the
// folder or is dropped on the way.
bool LiesRightBelow(const std::string& child)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(child.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH && length == child.size() && lstrcmpiA(child.c_str(), full) == 0;
}

std::string JoinPath(const std::string& folder, const char* name)
{
    return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + name;
}

// "%s" and "%u" of the removal reason, in one pass; its "#" characters stay as written.
std::string FillReason(const std::string& text, const std::string& description, unsigned number)
{
    std::string result;
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            result += description;
            ++i;
        } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'u') {
            result += std::to_string(number);
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

// The long form of a path, so that a short (8.3) spelling names the same folder; the path as it
// is when it has none (it does not exist, or is too long).
std::string LongForm(const std::string& path)
{
    char longPath[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return path;
    return std::string(longPath, length);
}

// The protected folders of a walk with their identities, taken once when it starts. A folder
// named any other way (another drive letter, a share of the local disk, a junction higher up)
// has the same identity.
class Protection {
public:
    // An inactive protection (forced and bin walks never consult the list) takes no identities.
    Protection(const ShredContext& context, FolderSystem& disk, bool active = true)
        : context_(context), disk_(disk), active_(active)
    {
        for (const std::string& folder : context.machine.protectedFolders) {
            if (!active)
                break;
            FileIdentity identity;
            if (!folder.empty() && disk.Identity(folder, identity))
                identities_.emplace_back(&folder, identity);
        }
    }

    // The list entry `path` is, or null.
    const std::string* EntryFor(const std::string& path) const
    {
        if (!active_)
            return nullptr;
        if (const std::string* entry = EntryNamed(path))
            return entry;
        FileIdentity identity;
        if (identities_.empty() || !disk_.Identity(path, identity))
            return nullptr;
        for (const auto& entry : identities_) {
            if (entry.second == identity)
                return entry.first;
        }
        return nullptr;
    }

    // The list entry that `path` names, compared as paths only; consulted by inactive ones too.
    const std::string* EntryNamed(const std::string& path) const
    {
        const std::string longPath = LongForm(path);
        for (const std::string& folder : context_.machine.protectedFolders) {
            if (folder.empty())
                continue;
            if (lstrcmpiA(folder.c_str(), path.c_str()) == 0 || lstrcmpiA(folder.c_str(), longPath.c_str()) == 0 ||
                lstrcmpiA(LongForm(folder).c_str(), longPath.c_str()) == 0)
                return &folder;
        }
        return nullptr;
    }

private:
    const ShredContext& context_;
    FolderSystem& disk_;
    bool active_;
    std::vector<std::pair<const std::string*, FileIdentity>> identities_;
};

enum class Outcome { Done, Skipped, Stopped };

// Where the part of `path` below its root starts: after "C:\" or "\\server\share\"; npos for
// a path without a root of either kind.
std::string::size_type BelowRoot(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path.compare(0, 2, "\\\\") != 0)
        return std::string::npos;
    std::string::size_type server = path.find('\\', 2);
    std::string::size_type share = server == std::string::npos ? server : path.find('\\', server + 1);
    return share == std::string::npos ? share : share + 1;
}

// The Recycle Bin's own folders: its folder at a root and the users' folders in it.
bool IsBinOwnFolder(const std::string& path, std::string::size_type below)
{
    std::string::size_type slash = path.find('\\', below);
    std::string top = path.substr(below, slash == std::string::npos ? std::string::npos : slash - below);
    if (lstrcmpiA(top.c_str(), "RECYCLED") != 0 && lstrcmpiA(top.c_str(), "RECYCLER") != 0 &&
        lstrcmpiA(top.c_str(), "$Recycle.Bin") != 0)
        return false;
    return slash == std::string::npos || path.find('\\', slash + 1) == std::string::npos;
}

bool IsEmptyFolder(FolderSystem& disk, const std::string& path)
{
    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern))
        return false;
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing)
        return false;
    FolderEntry entry;
    while (listing->Next(entry)) {
        if (!IsDots(entry.name))
            return false;
    }
    return true;
}

// Whether an emptied folder that `path` names by its own name may be renamed before it goes.
bool MayRename(const Protection& protection, const std::string& path)
{
    std::string::size_type below = BelowRoot(path);
    if (below == std::string::npos || below >= path.size() || path.back() == '\\' || !FitsPathBuffer(path))
        return false;
    if (protection.EntryFor(path) || protection.EntryNamed(path) || IsBinOwnFolder(path, below))
        return false;
    // The long form must end in the very name given: a short name given back would take the
    // place of the folder's long one.
    const std::string longPath = LongForm(path);
    std::string::size_type slash = path.rfind('\\'), longSlash = longPath.rfind('\\');
    return longSlash != std::string::npos && path.compare(slash, std::string::npos, longPath, longSlash, std::string::npos) == 0;
}

// `path` with random letters in its last component, as a file is renamed.
std::string RandomSibling(const std::string& path, PatternGenerator& generator)
{
    char name[MAX_PATH];
    std::memcpy(name, path.c_str(), path.size() + 1);
    ReplaceNameSpans(name, path.size(), generator);
    return name;
}

// Deletes an empty file made only to take room in an index. One with a random name that stays
// holds nothing of anyone's; a second try.
void DeleteScratchFile(FolderSystem& disk, const std::string& path)
{
    if (disk.DeleteEmptyFile(path) != 0)
        disk.DeleteEmptyFile(path);
}

// Two entries of the length of the one removed at `path`, made and deleted at once in its
// parent: a rename and a removal each left one name's worth of old bytes behind the entries in
// use, and these take that room.
void FillParentIndex(ShredContext& context, FolderSystem& disk, const std::string& path)
{
    std::string made[2];
    for (std::string& name : made) {
        for (int attempt = 0; attempt < 3 && name.empty(); ++attempt) {
            std::string scratch = RandomSibling(path, context.generator);
            if (scratch != path && disk.CreateEmptyFile(scratch) == 0)
                name = scratch;
        }
    }
    for (const std::string& name : made) {
        if (!name.empty())
            DeleteScratchFile(disk, name);
    }
}

// The bytes an entry named `nameLength` characters takes in an NTFS folder index: the entry's
// head, the file-name attribute's fixed part and the name in UTF-16, rounded up to 8.
size_t IndexEntryBytes(size_t nameLength)
{
    return (0x52 + 2 * nameLength + 7) & ~size_t(7);
}

// An NTFS folder index keeps the names of entries that are gone in the unused room of its blocks
// (a removal or a rename moves the entries behind it and leaves their old bytes), and a removed
// folder's blocks go to the free space with them. So once a walk has shredded a folder's entries,
// which took `indexBytes` of its index, the folder is given empty files under long random names
// that need twice that room and more, so that the index writes its blocks anew, and they are
// deleted at once. A stop request ends the making, never the deleting.
void RefillFolderIndex(ShredContext& context, FolderSystem& disk, const std::string& folder, size_t indexBytes)
{
    const size_t used = folder.size() + 2;  // the folder, a backslash and the terminating NUL
    if (indexBytes == 0 || used + 16 > MAX_PATH)
        return;
    const size_t length = std::min<size_t>(RefillNameLength, MAX_PATH - used);
    const size_t wanted = (2 * indexBytes + 4096 + IndexEntryBytes(length) - 1) / IndexEntryBytes(length);
    std::string pattern = folder + "\\" + std::string(length, 'A');
    std::vector<std::string> made;
    unsigned failures = 0;
    while (made.size() < wanted && failures < 3 && !context.stopRequest) {
        std::string name = RandomSibling(pattern, context.generator);
        if (disk.CreateEmptyFile(name) == 0)
            made.push_back(name);
        else
            ++failures;  // a name drawn twice, or a folder that takes no more
    }
    for (const std::string& name : made)
        DeleteScratchFile(disk, name);
}

// Removes a folder, under a random name of the same length in its parent when it may be renamed
// (`emptyByOwnName`: it is empty and `path` names it by its own, exact name); a folder that stays
// gets its name back. Returns the removal's error (0 once it is gone); `current` is the folder's
// path now, which differs from `path` only when its name could not be given back.
int RemoveUnderRandomName(ShredContext& context, FolderSystem& disk, const Protection& protection,
                          const std::string& path, bool emptyByOwnName, std::string& current)
{
    current = path;
    if (emptyByOwnName && MayRename(protection, path)) {
        // A name a sibling has is not replaced: another draw, a few times.
        for (int attempt = 0; attempt < 3 && current == path; ++attempt) {
            std::string renamed = RandomSibling(path, context.generator);
            if (renamed != path && disk.RenameFolder(path, renamed) == 0)
                current = renamed;
        }
    }
    int error = disk.RemoveFolder(current);
    if (error != 0 && current != path && disk.RenameFolder(current, path) == 0)
        current = path;
    if (error == 0 && current != path)
        FillParentIndex(context, disk, path);
    return error;
}

Outcome WalkFolder(ShredContext& context, FolderSystem& disk, const Protection& protection, const std::string& path,
                   bool system, WalkMode mode, bool top)
{
    const int folderPolicy = context.FolderPolicy();
    const int removePolicy = context.RemovePolicy();

    if (mode == WalkMode::User) {
        if (const std::string* entry = protection.EntryFor(path)) {
            Report(context, WarningStyle::Error, MessageText::ReplaceAll(context.LookupText(9039), "%s", *entry));
            return Outcome::Skipped;
        }
    }
    // A folder handed in by a caller may itself be a link; those met inside are filtered below.
    if (top) {
        DWORD attributes = disk.Attributes(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveLinkItem(context, path, true, disk);
            return Outcome::Skipped;
        }
    }
    if (mode == WalkMode::User && system) {
        // A silent run enters it without asking, and without a log entry.
        Answer answer = context.silent ? Answer::Positive
                                       : AskInPerson(context, WarningStyle::YesNoCancel,
                                                     MessageText::WithPath(context.LookupText(9040), path));
        if (answer == Answer::Cancel)
            return Outcome::Stopped;
        if (answer != Answer::Positive)
            return Outcome::Skipped;
    }

    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern)) {
        ReportLongChildPath(context, path);
        return Outcome::Skipped;
    }
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing) {
        Report(context, WarningStyle::Notice, context.LookupText(9011));
        return Outcome::Stopped;
    }

    const WalkMode childMode = mode == WalkMode::User ? WalkMode::User : WalkMode::Forced;
    const ItemOrigin origin = mode == WalkMode::User ? ItemOrigin::User : ItemOrigin::BinDelete;
    bool stopped = false;
    size_t indexBytes = 0;  // of the entries the walk shreds or removes
    FolderEntry entry;
    while (!stopped && !context.stopRequest && listing->Next(entry)) {
        const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (directory && (IsDots(entry.name) || (mode == WalkMode::User && folderPolicy == 0)))
            continue;
        // A short name is an entry of its own; both are counted, as if each were taken.
        indexBytes += IndexEntryBytes(std::strlen(entry.name));
        if (entry.shortName[0])
            indexBytes += IndexEntryBytes(std::strlen(entry.shortName));

        std::string child;
        if (!ChildPathOf(context, path, entry, child))
            continue;
        // The path holds the entry's own name (ChildPathOf's first choice), not its short one.
        const bool ownName = entry.exact && IsPlainName(entry.name);

        if (!directory) {
            if (link)
                RemoveLinkItem(context, child, false, disk);
            else
                stopped = disk.ShredFile(context, child, origin) == Flow::Stop || context.stopRequest;
            continue;
        }

        if (mode == WalkMode::User && folderPolicy == 1) {
            Answer answer = AskInPerson(context, WarningStyle::YesNoCancel, MessageText::WithPath(context.LookupText(9041), child));
            if (answer == Answer::Cancel) {
                stopped = true;
                continue;
            }
            if (answer != Answer::Positive)
                continue;
        }
        if (link) {
            RemoveLinkItem(context, child, true, disk);
            continue;
        }

        Outcome inner = WalkFolder(context, disk, protection, child, (entry.attributes & FILE_ATTRIBUTE_SYSTEM) != 0,
                                   childMode, false);
        if (inner == Outcome::Stopped) {
            stopped = true;
            continue;
        }
        // A refused or declined subfolder is left exactly as it was, so it is not removed either.
        if (inner == Outcome::Skipped)
            continue;

        if (mode == WalkMode::User) {
            bool remove = removePolicy == 2;
            if (removePolicy == 1) {
                Answer answer = AskInPerson(context, WarningStyle::YesNoCancel, MessageText::WithPath(context.LookupText(9042), child));
                if (answer == Answer::Cancel) {
                    stopped = true;
                    continue;
                }
                remove = answer == Answer::Positive;
            }
            if (remove) {
                std::string current;
                int error = RemoveUnderRandomName(context, disk, protection, child,
                                                  ownName && IsEmptyFolder(disk, child), current);
                if (error != 0)
                    Report(context, WarningStyle::Notice, RemovalFailureText(context, current, error));
            }
        } else if (mode == WalkMode::Forced) {
            // A forced walk tells nothing; the bin is emptied afterwards anyway.
            std::string current;
            RemoveUnderRandomName(context, disk, protection, child, ownName && IsEmptyFolder(disk, child), current);
        }
    }
    listing.reset();
    if (!stopped && !context.stopRequest && IsNtfsDrive(context, path))
        RefillFolderIndex(context, disk, path, indexBytes);
    return stopped ? Outcome::Stopped : Outcome::Done;
}

}  // namespace

FolderSystem& DiskFolders()
{
    static Disk disk;
    return disk;
}

void ReportLongChildPath(ShredContext& context, const std::string& path)
{
    Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9071), path));
}

bool ChildPathOf(ShredContext& context, const std::string& folder, const FolderEntry& entry, std::string& child)
{
    const char* name = nullptr;
    if (entry.exact && IsPlainName(entry.name))
        name = entry.name;
    else if (IsPlainName(entry.shortName))
        name = entry.shortName;
    if (!name) {
        // Named as well as this code page can: its folder keeps it, so that is not empty either.
        const int key = entry.exact ? 9211 : 9210;
        Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(key), JoinPath(folder, entry.name)));
        return false;
    }
    child = JoinPath(folder, name);
    if (!FitsPathBuffer(child)) {
        ReportLongChildPath(context, child);
        return false;
    }
    if (!LiesRightBelow(child)) {
        Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9211), child));
        return false;
    }
    return true;
}

std::string RemovalFailureText(const ShredContext& context, const std::string& path, int error)
{
    return MessageText::WithPath(context.LookupText(9043), path) +
           FillReason(context.LookupText(9044), strerror(error), static_cast<unsigned>(error));
}

void RemoveLinkItem(ShredContext& context, const std::string& path, bool directory, FolderSystem& disk)
{
    const std::string target = disk.LinkTarget(path);
    FileIdentity before;
    const bool hadTarget = !target.empty() && disk.Identity(target, before);
    DWORD error = disk.RemoveLink(path, directory);
    // A removal that answers success while the entry stays has not removed it.
    if (error == 0 && disk.Attributes(path) != INVALID_FILE_ATTRIBUTES)
        error = ERROR_FILE_EXISTS;
    // A link that stays, or a target that changed, leaves the user's item undone.
    if (error != 0) {
        context.incomplete = true;
        Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9073), path) + SystemErrorText(error));
        return;
    }
    FileIdentity after;
    if (hadTarget && !(disk.Identity(target, after) && after == before)) {
        context.incomplete = true;
        Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9215), path));
        return;
    }
    Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9072), path));
}

FolderResult ShredFolder(ShredContext& context, const std::string& path, bool system, WalkMode mode,
                         FolderSystem& disk)
{
    const Protection protection(context, disk, mode == WalkMode::User);
    switch (WalkFolder(context, disk, protection, path, system, mode, true)) {
    case Outcome::Stopped:
        return FolderResult::Stopped;
    case Outcome::Skipped:
        return FolderResult::Skipped;
    case Outcome::Done:
        break;
    }
    return FolderResult::Done;
}

void RemoveFolderIfEmpty(ShredContext& context, const std::string& path, FolderSystem& disk)
{
    // Whoever calls, a protected folder stays: its refusal was reported by the walk.
    const Protection protection(context, disk);
    if (protection.EntryFor(path))
        return;
    // "." and ".." are passed over by name: a drive root lists neither.
    if (!IsEmptyFolder(disk, path))
        return;
    std::string current;
    int error = RemoveUnderRandomName(context, disk, protection, path, true, current);
    if (error != 0) {
        context.incomplete = true;
        Report(context, WarningStyle::Error, RemovalFailureText(context, current, error));
    }
}

ScheduleCheck CheckFolderFileForSchedule(ShredContext& context, const std::string& path, FolderSystem& disk)
{
    DWORD attributes = disk.Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        AskInPerson(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9034), path));
        return ScheduleCheck::Missing;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        Answer answer = AskInPerson(context, WarningStyle::GoOnQuestion, MessageText::WithPath(context.LookupText(9054), path));
        return answer == Answer::Positive ? ScheduleCheck::Passed : ScheduleCheck::Cancelled;
    }
    return ScheduleCheck::Passed;
}

ScheduleCheck CheckFolderForSchedule(ShredContext& context, const std::string& path, bool system, FolderSystem& disk)
{
    if (system) {
        Answer answer = AskInPerson(context, WarningStyle::GoOnQuestion, MessageText::WithPath(context.LookupText(9040), path));
        if (answer != Answer::Positive)
            return ScheduleCheck::Cancelled;
    }
    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern)) {
        AskInPerson(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9071), path));
        return ScheduleCheck::Cancelled;
    }
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing) {
        AskInPerson(context, WarningStyle::Notice, context.LookupText(9011));
        return ScheduleCheck::Cancelled;
    }

    int folderPolicy = Settings::ReadNumber("Folder", 0);
    int removePolicy = Settings::ReadNumber("Remove", 0);
    ScheduleCheck result = ScheduleCheck::Passed;
    FolderEntry entry;
    while (!context.stopRequest && result == ScheduleCheck::Passed && listing->Next(entry)) {
        const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // The run removes links without looking behind them, so there is nothing to check.
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        std::string child;
        if (!directory) {
            if (link || !ChildPathOf(context, path, entry, child))
                continue;
            if (CheckFolderFileForSchedule(context, child, disk) == ScheduleCheck::Cancelled)
                result = ScheduleCheck::Cancelled;
            continue;
        }
        if (folderPolicy == 0 || IsDots(entry.name))
            continue;
        if (folderPolicy == 1) {
            Answer answer = AskInPerson(context, WarningStyle::YesNoCancel, context.LookupText(9055));
            if (answer == Answer::Cancel) {
                result = ScheduleCheck::Cancelled;
                continue;
            }
            folderPolicy = answer == Answer::Positive ? 2 : 0;
            Settings::WriteNumber("Folder", folderPolicy);
            if (folderPolicy == 0)
                continue;
        }
        if (removePolicy == 1) {
            Answer answer = AskInPerson(context, WarningStyle::YesNoCancel, context.LookupText(9056));
            if (answer == Answer::Cancel) {
                result = ScheduleCheck::Cancelled;
                continue;
            }
            removePolicy = answer == Answer::Positive ? 2 : 0;
            Settings::WriteNumber("Remove", removePolicy);
        }
        if (link || !ChildPathOf(context, path, entry, child))
            continue;
        if (CheckFolderForSchedule(context, child, (entry.attributes & FILE_ATTRIBUTE_SYSTEM) != 0, disk) ==
            ScheduleCheck::Cancelled)
            result = ScheduleCheck::Cancelled;
    }
    return result;
}
