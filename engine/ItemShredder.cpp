#include "engine/ItemShredder.h"

#include "common/ScopedWin.h"
#include "engine/FileShredder.h"
#include "engine/FolderShredder.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/RecycleBinShredder.h"

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
    bool ShredFolder(ShredContext& context, const std::string& path, bool system) override
    {
        return ::ShredFolder(context, path, system, WalkMode::User) == FolderResult::Stopped;
    }
    void RemoveFolderIfEmpty(ShredContext& context, const std::string& path) override { ::RemoveFolderIfEmpty(context, path); }
    void RemoveLink(ShredContext& context, const std::string& path) override
    {
        RemoveLinkItem(context, path, false);
    }
    void WipeFreeSpace(ShredContext& context, const std::string& root) override { ::WipeFreeSpace(context, root); }
    void ShredRecycleBinNow(ShredContext& context) override { ::ShredRecycleBinNow(context); }
};

}  // namespace

JobActions& JobShredders()
{
    static Shredders shredders;
    return shredders;
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
    // Refused by name rather than called unknown: a cut path would name another file.
    if (!FitsPathBuffer(item)) {
        ReportLongChildPath(context, item);
        return JobItemResult::Done;
    }
    std::string fullPath;
    DWORD attributes = 0;
    if (actions.QueryStatus(item, fullPath, attributes)) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (actions.ShredFolder(context, fullPath, (attributes & FILE_ATTRIBUTE_SYSTEM) != 0))
                return JobItemResult::Stop;
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
