#include "engine/RecycleBinShredder.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"
#include "common/SidText.h"
#include "engine/FileShredder.h"
#include "engine/FolderShredder.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"

#include <shellapi.h>

#include <cstring>

const char BinDesktopIni[] = "[.ShellClassInfo]\r\nCLSID={645FF040-5081-101B-9F08-00AA002F954E}\r\n";
static_assert(sizeof(BinDesktopIni) == BinDesktopIniSize + 1, "desktop.ini is 65 bytes without its terminator");

namespace {

static_assert(sizeof(void*) == 8 || sizeof(SHQUERYRBINFO) == 20, "the 32-bit shell expects a packed record of 20 bytes");

using QueryFunc = HRESULT(WINAPI*)(LPCSTR, LPSHQUERYRBINFO);
using EmptyFunc = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);

class ShellBin : public RecycleBinShell {
public:
    LoadResult Load() override
    {
        library_.Reset(LoadLibraryA("SHELL32.DLL"));
        if (!library_)
            return LoadResult::NoLibrary;
        query_ = reinterpret_cast<QueryFunc>(
            reinterpret_cast<void*>(GetProcAddress(library_.Get(), "SHQueryRecycleBinA")));
        empty_ = reinterpret_cast<EmptyFunc>(
            reinterpret_cast<void*>(GetProcAddress(library_.Get(), "SHEmptyRecycleBinA")));
        return query_ && empty_ ? LoadResult::Loaded : LoadResult::NoFunctions;
    }
    void Unload() override
    {
        query_ = nullptr;
        empty_ = nullptr;
        library_.Reset();
    }
    HRESULT Query(const std::string& root, long long* items) override
    {
        // The record's own size: 20 bytes on 32-bit systems, 24 with the padding of 64-bit ones.
        SHQUERYRBINFO info = {};
        info.cbSize = sizeof(info);
        HRESULT result = query_(root.c_str(), &info);
        *items = info.i64NumItems;
        return result;
    }
    void Empty(const std::string& root) override
    {
        // Not examined: a bin the shell could not empty is counted again by the next run.
        empty_(nullptr, root.c_str(), SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    }

private:
    AutoLibrary library_;
    QueryFunc query_ = nullptr;
    EmptyFunc empty_ = nullptr;
};

// Gives back what a run holds, on every way out.
class BinRun {
public:
    BinRun(ShredContext& context, RecycleBinShell& shell) : context_(context), shell_(shell) {}
    ~BinRun()
    {
        if (disabledParent_)
            EnableWindow(context_.parentWindow, TRUE);  // returns the previous state, not a failure
        ReleaseProgressWindow(context_);
        shell_.Unload();
    }
    BinRun(const BinRun&) = delete;
    BinRun& operator=(const BinRun&) = delete;

    void DisableParent()
    {
        if (context_.parentWindow) {
            EnableWindow(context_.parentWindow, FALSE);
            disabledParent_ = true;
        }
    }

private:
    ShredContext& context_;
    RecycleBinShell& shell_;
    bool disabledParent_ = false;
};

void WriteDesktopIni(const std::string& binFolder)
{
    // Truncating keeps the hidden and system attributes the shell gave the file; creating
    // over them would be refused.
    std::string path = binFolder + "desktop.ini";
    AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file && GetLastError() == ERROR_FILE_NOT_FOUND)
        file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;  // a bin folder without its desktop.ini only looks like an ordinary folder
    DWORD written = 0;
    WriteFile(file.Get(), BinDesktopIni, BinDesktopIniSize, &written, nullptr);  // nothing to do on failure either
}

enum class BinOutcome { Shredded, NotListed, Stopped };

// Shreds the entries of one bin folder; a bin without a folder is named by its drive's root.
BinOutcome ShredBinFolder(ShredContext& context, FolderSystem& disk, const std::string& bin, BinLayout layout,
                          const char* root)
{
    std::unique_ptr<FolderListing> listing = bin.empty() ? nullptr : disk.List(bin + "*.*");
    if (!listing) {
        Report(context, WarningStyle::Error, MessageText::WithPath(context.LookupText(9034), bin.empty() ? root : bin));
        return BinOutcome::NotListed;
    }
    FolderEntry entry;
    while (!context.stopRequest && listing->Next(entry)) {
        const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (directory ? strcmp(entry.name, ".") == 0 || strcmp(entry.name, "..") == 0
                      : IsBinIndexFile(entry.name, layout))
            continue;
        std::string child;
        if (!ChildPathOf(context, bin, entry, child))
            continue;
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLinkItem(context, child, directory, disk);
            continue;
        }
        bool stop = directory ? ShredFolder(context, child, false, WalkMode::Bin, disk) == FolderResult::Stopped
                              : disk.ShredFile(context, child, ItemOrigin::BinOverwrite) == Flow::Stop;
        if (stop)
            context.stopRequest = 1;
    }
    return context.stopRequest ? BinOutcome::Stopped : BinOutcome::Shredded;
}

}  // namespace

RecycleBinShell& SystemRecycleBin()
{
    static ShellBin shell;
    return shell;
}

BinLayout SystemBinLayout()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version))
        return BinLayout::Classic;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6 ? BinLayout::PerUser
                                                                                       : BinLayout::Classic;
}

std::string BinFolder(ShredContext& context, int letter, BinLayout layout)
{
    const DriveEntry& drive = context.machine.drives[letter];
    if (drive.root[0] == '\0')
        return std::string();
    std::string root = drive.root;
    if (layout == BinLayout::Classic && !drive.ntfs)
        return root + "RECYCLED\\";
    // Without the SID the folder above would be taken for the user's own, with every other
    // user's bin in it.
    if (context.machine.sid.empty() && ReadUserSidText(context.machine.sid) != SidOk)
        context.machine.sid.clear();
    if (context.machine.sid.empty())
        return std::string();
    return root + (layout == BinLayout::Classic ? "Recycler\\" : "$Recycle.Bin\\") + context.machine.sid + "\\";
}

bool IsBinIndexFile(const char* name, BinLayout layout)
{
    if (lstrcmpiA(name, "INFO2") == 0 || lstrcmpiA(name, "desktop.ini") == 0)
        return true;
    return layout == BinLayout::PerUser && name[0] == '$' && (name[1] == 'I' || name[1] == 'i');
}

void ShredRecycleBin(ShredContext& context)
{
    ShredRecycleBin(context, SystemRecycleBin(), SystemBinLayout(), DiskFolders());
}

void ShredRecycleBin(ShredContext& context, RecycleBinShell& shell, BinLayout layout, FolderSystem& disk)
{
    RecycleBinShell::LoadResult loaded = shell.Load();
    BinRun run(context, shell);
    if (loaded == RecycleBinShell::LoadResult::NoLibrary)
        return;
    if (loaded != RecycleBinShell::LoadResult::Loaded) {
        Report(context, WarningStyle::Notice, context.LookupText(9014));
        return;
    }

    context.stopRequest = 0;
    long long total = 0;
    for (const DriveEntry& drive : context.machine.drives) {
        if (drive.root[0] == '\0')
            continue;
        long long items = 0;
        HRESULT result = shell.Query(drive.root, &items);
        if (result != S_OK) {
            Report(context, WarningStyle::Notice, MessageText::ExpandLineBreaks(context.LookupText(9048)) + " " +
                                        MessageText::Hex8(static_cast<unsigned long>(result)));
            break;
        }
        total += items;
    }
    if (total == 0) {
        Report(context, WarningStyle::Error, context.LookupText(9015));
        return;
    }
    if (!context.silent) {
        if (Report(context, WarningStyle::YesNo, MessageText::ExpandLineBreaks(context.LookupText(9049))) != Answer::Positive)
            return;
    }

    if (!AcquireProgressWindow(context))
        return;
    run.DisableParent();
    if (context.progressWindow)
        context.progressWindow->SetCaption(context.LookupText(9902));

    for (int letter = 0; letter < 26 && !context.stopRequest; ++letter) {
        const DriveEntry& drive = context.machine.drives[letter];
        if (drive.root[0] == '\0')
            continue;
        long long items = 0;
        if (shell.Query(drive.root, &items) != S_OK || items == 0)
            continue;

        std::string bin = BinFolder(context, letter, layout);
        BinOutcome outcome = ShredBinFolder(context, disk, bin, layout, drive.root);
        if (outcome == BinOutcome::NotListed)
            continue;
        if (outcome == BinOutcome::Stopped) {
            char driveLetter = drive.root[0];
            MessageText::Values values;
            values.c = &driveLetter;
            Report(context, WarningStyle::Error, MessageText::Compose(context.LookupText(9050), values));
            return;
        }
        if (context.progressWindow) {
            context.progressWindow->SetLine(1, context.LookupText(9913) + drive.root[0]);
            context.progressWindow->SetLine(2, std::string());
            context.progressWindow->SetLine(3, std::string());
            context.progressWindow->SetPosition(0);
            context.progressWindow->Repaint();
        }
        shell.Empty(drive.root);
        if (layout == BinLayout::Classic && !bin.empty())
            WriteDesktopIni(bin);
    }
}

void ShredRecycleBinNow(ShredContext& context)
{
    ShredRecycleBinNow(context, SystemRecycleBin(), SystemBinLayout(), DiskFolders());
}

void ShredRecycleBinNow(ShredContext& context, RecycleBinShell& shell, BinLayout layout, FolderSystem& disk)
{
    if (Settings::ReadNumber("BinAlertDisabled", 0) == 0) {
        // Shown in silent runs too, until its box has once been ticked.
        bool dontShowAgain = false;
        if (!NoticeInPerson(context, NoticeMode::RecycleBin, context.LookupText(9062), &dontShowAgain)) {
            context.incomplete = true;  // the bin was chosen and is left as it was
            return;
        }
        if (dontShowAgain)
            Settings::WriteNumber("BinAlertDisabled", 1);
    }
    ShredRecycleBin(context, shell, layout, disk);
}
