#include "app/JobRunner.h"

#include "app/ShredApp.h"
#include "common/ScopedWin.h"
#include "engine/FileShredder.h"
#include "engine/FolderShredder.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/RecycleBinShredder.h"
#include "engine/ShredLog.h"
#include "engine/UserChannel.h"
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
    bool ShredFile(ShredApp& app, const std::string& path) override { return ::ShredFile(app, path, OriginUser); }
    int ShredFolder(ShredApp& app, const std::string& path, bool system) override
    {
        return ::ShredFolder(app, path, system, WalkUser);
    }
    void RemoveFolderIfEmpty(ShredApp& app, const std::string& path) override { ::RemoveFolderIfEmpty(app, path); }
    void RemoveLink(ShredApp& app, const std::string& path) override { RemoveLinkItem(app, path, false); }
    void WipeFreeSpace(ShredApp& app, const std::string& root) override { ::WipeFreeSpace(app, root); }
    void ShredRecycleBinNow(ShredApp& app) override { ::ShredRecycleBinNow(app); }
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

int ShredJobItem(ShredApp& app, const std::string& item, JobActions& actions)
{
    // Refused by name rather than called unknown: a cut path would name another file.
    if (!FitsPathBuffer(item)) {
        ReportLongChildPath(app, item);
        return JobItemDone;
    }
    std::string fullPath;
    DWORD attributes = 0;
    if (actions.QueryStatus(item, fullPath, attributes)) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            int result = actions.ShredFolder(app, fullPath, (attributes & FILE_ATTRIBUTE_SYSTEM) != 0);
            if (result == 0)
                actions.RemoveFolderIfEmpty(app, item);
            return result;
        }
        // A link is removed as a link: what it points to was never chosen.
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            actions.RemoveLink(app, fullPath);
            return JobItemDone;
        }
        return actions.ShredFile(app, fullPath) ? JobItemStop : JobItemDone;
    }

    std::string upper = item;
    for (char& ch : upper) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    for (const DriveEntry& drive : app.drives) {
        if (drive.root[0] != '\0' && upper == drive.root) {
            actions.WipeFreeSpace(app, drive.root);
            return JobItemDone;
        }
    }
    return JobItemNotFound;
}

void RunCommandLineJob(ShredApp& app, JobActions& actions)
{
    app.stopRequest = 0;

    std::string question;
    if (app.items.size() == 1) {
        std::string named;
        if (!actions.ResolveShellPath(app.items[0], named))
            named = app.items[0];
        if (named == "recycle")
            named = "the Recycle Bin";
        question = MessageText::WithPath(app.LookupText(9052), named);
    } else {
        question = MessageText::WithNumber(app.LookupText(9051), static_cast<unsigned>(app.items.size()));
    }

    if (app.silent || app.Report(StyleConfirm, question) == AnswerPositive) {
        for (const std::string& item : app.items) {
            if (item == "recycle") {
                actions.ShredRecycleBinNow(app);
            } else {
                int result = ShredJobItem(app, item, actions);
                if (result == JobItemNotFound) {
                    std::string text = MessageText::WithPath(app.LookupText(9053), item);
                    if (app.Report(StyleContinueStop, text) != AnswerPositive)
                        break;
                } else if (result == JobItemStop) {
                    break;
                }
            }
            if (app.stopRequest)
                break;
        }
    }
    ReleaseProgressWindow(app);
}
