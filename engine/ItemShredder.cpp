#include "engine/ItemShredder.h"

#include "common/ScopedWin.h"
#include "engine/FileShredder.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/RecycleBinShredder.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"

namespace {

class Shredders : public JobActions {
public:
    bool QueryStatus(const std::string& item, std::string& fullPath, DWORD& attributes) override
    {
        return QueryItemStatus(item, fullPath, attributes);
    }
    bool ResolveShellPath(const std::string& text, std::string& path) override
    {
        return ::ResolveShellPath(text, path);
    }
    Flow ShredFile(ShredContext& context, const std::string& path) override
    {
        return ::ShredFile(context, path, ItemOrigin::User);
    }
    FolderResult ShredFolder(ShredContext& context, const std::string& path, bool system) override
    {
        return ::ShredFolder(context, path, system, WalkMode::User);
    }
    void RemoveFolderIfEmpty(ShredContext& context, const std::string& path) override { ::RemoveFolderIfEmpty(context, path); }
    void RemoveLink(ShredContext& context, const std::string& path) override
    {
        RemoveLinkItem(context, path, false);
    }
    void WipeFreeSpace(ShredContext& context, const std::string& root) override { ::WipeFreeSpace(context, root); }
    void ShredRecycleBinNow(ShredContext& context) override { ::ShredRecycleBinNow(context); }
};

bool IsLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

// "X:\" and what follows, or "\\server\share" and what follows; not the device forms "\\?\"
// and "\\.\", which bypass the system's reading of names.
bool HasFullPathForm(const std::string& item)
{
    if (item.size() >= 3 && IsLetter(item[0]) && item[1] == ':' && item[2] == '\\')
        return true;
    if (item.compare(0, 2, "\\\\") != 0)
        return false;
    std::string::size_type serverEnd = item.find('\\', 2);
    if (serverEnd == std::string::npos || serverEnd == 2)
        return false;
    std::string server = item.substr(2, serverEnd - 2);
    if (server == "?" || server == ".")
        return false;
    std::string::size_type shareEnd = item.find('\\', serverEnd + 1);
    return (shareEnd == std::string::npos ? item.size() : shareEnd) > serverEnd + 1;
}

std::string LastPart(const std::string& path)
{
    std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

JobActions& JobShredders()
{
    static Shredders shredders;
    return shredders;
}

ItemName CheckItemName(const std::string& item)
{
    if (!FitsPathBuffer(item))
        return ItemName::TooLong;
    if (!HasFullPathForm(item))
        return ItemName::NotFullPath;
    const std::string last = LastPart(item);
    if (!last.empty() && (last.back() == '.' || last.back() == ' '))
        return ItemName::TrailingDotOrBlank;
    // The system's own reading of the path changes nothing in a full path; anything it would
    // change ("\..\", "\.\", a dot or blank ending an inner part, '/', doubled '\') means the
    // item is not the path it looks like.
    // (Letter case never changes what a path means.)
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(item.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || length != item.size() || lstrcmpiA(item.c_str(), full) != 0)
        return ItemName::NotFullPath;
    return ItemName::Usable;
}

bool QueryItemStatus(const std::string& item, std::string& fullPath, DWORD& attributes)
{
    // A wildcard would make the find functions answer for some other file.
    if (item.empty() || item.find_first_of("*?") != std::string::npos || !FitsPathBuffer(item))
        return false;
    WIN32_FIND_DATAA data;
    AutoFindHandle find(FindFirstFileA(item.c_str(), &data));
    if (!find)
        return false;
    // The system drops trailing dots and blanks and may take a name it cannot hold for another:
    // the entry found must be the one named.
    const std::string asked = LastPart(item);
    if (lstrcmpiA(data.cFileName, asked.c_str()) != 0 &&
        (data.cAlternateFileName[0] == '\0' || lstrcmpiA(data.cAlternateFileName, asked.c_str()) != 0))
        return false;
    char path[MAX_PATH];
    DWORD length = GetFullPathNameA(item.c_str(), MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    fullPath.assign(path, length);
    attributes = data.dwFileAttributes;
    return true;
}

JobItemResult ShredJobItem(ShredContext& context, const std::string& item, JobActions& actions)
{
    switch (CheckItemName(item)) {
    case ItemName::TooLong:
        // Refused by name rather than called unknown: a cut path would name another file.
        ReportLongChildPath(context, item);
        return JobItemResult::Done;
    case ItemName::NotFullPath: {
        std::string text = MessageText::WithPath(context.LookupText(9212), item);
        return Report(context, WarningStyle::ContinueStop, text) == Answer::Positive ? JobItemResult::Done
                                                                                     : JobItemResult::Stop;
    }
    case ItemName::TrailingDotOrBlank:
        return JobItemResult::NotFound;
    case ItemName::Usable:
        break;
    }

    std::string fullPath;
    DWORD attributes = 0;
    if (actions.QueryStatus(item, fullPath, attributes)) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            FolderResult result = actions.ShredFolder(context, fullPath, (attributes & FILE_ATTRIBUTE_SYSTEM) != 0);
            if (result == FolderResult::Stopped)
                return JobItemResult::Stop;
            // A refused or skipped folder (protected, declined, a link) stays as it is, even empty.
            if (result == FolderResult::Done)
                actions.RemoveFolderIfEmpty(context, item);
            return JobItemResult::Done;
        }
        // A link is removed as a link: what it points to was never chosen.
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            actions.RemoveLink(context, fullPath);
            return JobItemResult::Done;
        }
        return actions.ShredFile(context, fullPath) == Flow::Stop ? JobItemResult::Stop : JobItemResult::Done;
    }
    std::string upper = item;
    for (char& ch : upper) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    for (const DriveEntry& drive : context.machine.drives) {
        if (drive.root[0] != '\0' && upper == drive.root) {
            actions.WipeFreeSpace(context, drive.root);
            return JobItemResult::Done;
        }
    }
    return JobItemResult::NotFound;
}
