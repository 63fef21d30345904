// The system's dialogs behind the main window's lists: the open-file dialog, the shell's folder
// browser and the subfolder options.
#include "ui/ItemPages.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace {

// Room for the folder and every name of a multiple selection: a few thousand files.
constexpr DWORD OpenFileResultSize = 64 * 1024;

class SystemDialogs : public ItemDialogs {
public:
    Choice ChooseFiles(HWND owner, std::vector<std::string>& paths) override
    {
        std::vector<char> result(OpenFileResultSize, '\0');
        OPENFILENAMEA dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = "All Files (*.*)\0*.*\0\0";
        dialog.lpstrFile = result.data();
        dialog.nMaxFile = OpenFileResultSize;
        // The read-only box stays. The current folder stays too: a folder that is the process's
        // current folder cannot be removed, and the user may shred that very folder next.
        dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR;
        if (GetOpenFileNameA(&dialog)) {
            result.back() = '\0';
            paths = SplitOpenFileResult(result.data(), result.size());
            return Choice::Chosen;
        }
        return CommDlgExtendedError() == FNERR_BUFFERTOOSMALL ? Choice::TooMany : Choice::Cancelled;
    }

    bool ChooseFolder(HWND owner, std::string& path) override
    {
        char displayName[MAX_PATH] = "";
        BROWSEINFOA info = {};
        info.hwndOwner = owner;
        info.pszDisplayName = displayName;
        info.lpszTitle = "";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST item = SHBrowseForFolderA(&info);
        if (!item)
            return false;
        char folder[MAX_PATH] = "";
        bool hasPath = SHGetPathFromIDListA(item, folder) != FALSE;
        CoTaskMemFree(item);
        path = hasPath ? folder : "";
        return true;
    }

    bool EditSubfolderOptions(HWND owner, SubfolderPolicies& policies) override
    {
        return EditSubfolderPolicies(owner, policies);
    }
};

}  // namespace

ItemDialogs& SystemItemDialogs()
{
    static SystemDialogs dialogs;
    return dialogs;
}
