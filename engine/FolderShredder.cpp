#include "engine/FolderShredder.h"

#include "app/Settings.h"
#include "app/ShredApp.h"
#include "common/ScopedWin.h"
#include "engine/FileShredder.h"
#include "engine/UserChannel.h"
#include "lang/MessageText.h"

#include <direct.h>

#include <cerrno>
#include <cstring>

namespace {

class FindListing : public FolderListing {
public:
    explicit FindListing(const std::string& pattern) : find_(FindFirstFileA(pattern.c_str(), &data_)) {}
    bool IsOpen() const { return find_.IsValid(); }
    bool Next(FolderEntry& entry) override
    {
        if (!find_)
            return false;
        if (!first_ && !FindNextFileA(find_.Get(), &data_))
            return false;  // the end of the listing, or a failure that ends it the same way
        first_ = false;
        memcpy(entry.name, data_.cFileName, sizeof(entry.name));
        entry.attributes = data_.dwFileAttributes;
        return true;
    }

private:
    WIN32_FIND_DATAA data_;
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
    bool ShredFile(ShredApp& app, const std::string& path, int origin) override
    {
        return ::ShredFile(app, path, origin);
    }
    int RemoveFolder(const std::string& path) override
    {
        // The runtime's call, so that errno names the reason in the runtime's own words.
        if (_rmdir(path.c_str()) == 0)
            return 0;
        return errno != 0 ? errno : EACCES;
    }
    DWORD RemoveLink(const std::string& path, bool directory) override
    {
        BOOL removed = directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
        if (removed)
            return 0;
        DWORD error = GetLastError();
        return error != 0 ? error : ERROR_ACCESS_DENIED;
    }
};

bool IsDots(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// A question in the warning dialog, asked also in silent mode; nobody to ask means cancel.
int AskUser(ShredApp& app, int style, const std::string& text)
{
    app.messageText = text;
    if (!app.channel)
        return AnswerCancel;
    return app.channel->Ask(style, text, app.title);
}

std::string SystemErrorDescription(DWORD error)
{
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return "Error " + std::to_string(error) + ".";
    return std::string(text, length);
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

const std::string* ProtectedEntry(const ShredApp& app, const std::string& path)
{
    const std::string longPath = LongForm(path);
    for (const std::string& folder : app.protectedFolders) {
        if (folder.empty())
            continue;
        if (lstrcmpiA(folder.c_str(), path.c_str()) == 0 || lstrcmpiA(folder.c_str(), longPath.c_str()) == 0 ||
            lstrcmpiA(LongForm(folder).c_str(), longPath.c_str()) == 0)
            return &folder;
    }
    return nullptr;
}

enum class Outcome { Done, Skipped, Stopped };

Outcome WalkFolder(ShredApp& app, FolderSystem& disk, const std::string& path, bool system, int mode, bool top)
{
    int folderPolicy = app.silent ? app.jobFolderPolicy : Settings::ReadNumber("Folder", 0);
    int removePolicy = app.silent ? app.jobRemovePolicy : Settings::ReadNumber("Remove", 0);

    if (mode == WalkUser) {
        if (const std::string* entry = ProtectedEntry(app, path)) {
            app.Report(StyleError, MessageText::ReplaceAll(app.LookupText(9039), "%s", *entry));
            return Outcome::Skipped;
        }
    }
    // A folder handed in by a caller may itself be a link; those met inside are filtered below.
    if (top) {
        DWORD attributes = disk.Attributes(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveLinkItem(app, path, true, disk);
            return Outcome::Skipped;
        }
    }
    if (mode == WalkUser && system) {
        int answer = app.silent ? AnswerPositive
                                : AskUser(app, StyleYesNoCancel, MessageText::WithPath(app.LookupText(9040), path));
        if (answer == AnswerCancel)
            return Outcome::Stopped;
        if (answer != AnswerPositive)
            return Outcome::Skipped;
    }

    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern)) {
        ReportLongChildPath(app, path);
        return Outcome::Skipped;
    }
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing) {
        app.Report(StyleNotice, app.LookupText(9011));
        return Outcome::Stopped;
    }

    const int childMode = mode == WalkUser ? WalkUser : WalkForced;
    const int origin = mode == WalkUser ? OriginUser : OriginBinDelete;
    bool stopped = false;
    FolderEntry entry;
    while (!stopped && !app.stopRequest && listing->Next(entry)) {
        const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (directory && (IsDots(entry.name) || (mode == WalkUser && folderPolicy == 0)))
            continue;

        std::string child = path + "\\" + entry.name;
        if (!FitsPathBuffer(child)) {
            ReportLongChildPath(app, child);
            continue;
        }

        if (!directory) {
            if (link)
                RemoveLinkItem(app, child, false, disk);
            else
                stopped = disk.ShredFile(app, child, origin) || app.stopRequest;
            continue;
        }

        if (mode == WalkUser && folderPolicy == 1) {
            int answer = AskUser(app, StyleYesNoCancel, MessageText::WithPath(app.LookupText(9041), child));
            if (answer == AnswerCancel) {
                stopped = true;
                continue;
            }
            if (answer != AnswerPositive)
                continue;
        }
        if (link) {
            RemoveLinkItem(app, child, true, disk);
            continue;
        }

        Outcome inner = WalkFolder(app, disk, child, (entry.attributes & FILE_ATTRIBUTE_SYSTEM) != 0, childMode, false);
        if (inner == Outcome::Stopped) {
            stopped = true;
            continue;
        }
        // A refused or declined subfolder is left exactly as it was, so it is not removed either.
        if (inner == Outcome::Skipped)
            continue;

        if (mode == WalkUser) {
            bool remove = removePolicy == 2;
            if (removePolicy == 1) {
                int answer = AskUser(app, StyleYesNoCancel, MessageText::WithPath(app.LookupText(9042), child));
                if (answer == AnswerCancel) {
                    stopped = true;
                    continue;
                }
                remove = answer == AnswerPositive;
            }
            if (remove) {
                int error = disk.RemoveFolder(child);
                if (error != 0)
                    app.Report(StyleNotice, RemovalFailureText(app, child, error));
            }
        } else if (mode == WalkForced) {
            disk.RemoveFolder(child);  // a forced walk tells nothing; the bin is emptied afterwards anyway
        }
    }
    return stopped ? Outcome::Stopped : Outcome::Done;
}

}  // namespace

FolderSystem& DiskFolders()
{
    static Disk disk;
    return disk;
}

void ReportLongChildPath(ShredApp& app, const std::string& path)
{
    app.Report(StyleNotice, MessageText::WithPath(app.LookupText(9071), path));
}

std::string RemovalFailureText(const ShredApp& app, const std::string& path, int error)
{
    return MessageText::WithPath(app.LookupText(9043), path) +
           FillReason(app.LookupText(9044), strerror(error), static_cast<unsigned>(error));
}

void RemoveLinkItem(ShredApp& app, const std::string& path, bool directory, FolderSystem& disk)
{
    DWORD error = disk.RemoveLink(path, directory);
    if (error == 0)
        app.Report(StyleNotice, MessageText::WithPath(app.LookupText(9072), path));
    else
        app.Report(StyleNotice, MessageText::WithPath(app.LookupText(9073), path) + SystemErrorDescription(error));
}

int ShredFolder(ShredApp& app, const std::string& path, bool system, int mode, FolderSystem& disk)
{
    return WalkFolder(app, disk, path, system, mode, true) == Outcome::Stopped ? FolderStopped : FolderDone;
}

void RemoveFolderIfEmpty(ShredApp& app, const std::string& path, FolderSystem& disk)
{
    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern))
        return;
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing)
        return;
    // "." and ".." are passed over by name: a drive root lists neither.
    FolderEntry entry;
    while (listing->Next(entry)) {
        if (!IsDots(entry.name))
            return;
    }
    listing.reset();
    int error = disk.RemoveFolder(path);
    if (error != 0)
        app.Report(StyleError, RemovalFailureText(app, path, error));
}

int CheckFolderFileForSchedule(ShredApp& app, const std::string& path, FolderSystem& disk)
{
    DWORD attributes = disk.Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        AskUser(app, StyleNotice, MessageText::WithPath(app.LookupText(9034), path));
        return CheckMissing;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        int answer = AskUser(app, StyleGoOnQuestion, MessageText::WithPath(app.LookupText(9054), path));
        return answer == AnswerPositive ? CheckPassed : CheckCancelled;
    }
    return CheckPassed;
}

int CheckFolderForSchedule(ShredApp& app, const std::string& path, bool system, FolderSystem& disk)
{
    if (system) {
        int answer = AskUser(app, StyleGoOnQuestion, MessageText::WithPath(app.LookupText(9040), path));
        if (answer != AnswerPositive)
            return CheckCancelled;
    }
    std::string pattern = path + "\\*.*";
    if (!FitsPathBuffer(pattern)) {
        AskUser(app, StyleNotice, MessageText::WithPath(app.LookupText(9071), path));
        return CheckCancelled;
    }
    std::unique_ptr<FolderListing> listing = disk.List(pattern);
    if (!listing) {
        AskUser(app, StyleNotice, app.LookupText(9011));
        return CheckCancelled;
    }

    int folderPolicy = Settings::ReadNumber("Folder", 0);
    int removePolicy = Settings::ReadNumber("Remove", 0);
    int result = CheckPassed;
    FolderEntry entry;
    while (!app.stopRequest && result == CheckPassed && listing->Next(entry)) {
        const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // The run removes links without looking behind them, so there is nothing to check.
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        std::string child = path + "\\" + entry.name;
        if (!directory) {
            if (link)
                continue;
            if (!FitsPathBuffer(child)) {
                AskUser(app, StyleNotice, MessageText::WithPath(app.LookupText(9071), child));
                continue;
            }
            if (CheckFolderFileForSchedule(app, child, disk) == CheckCancelled)
                result = CheckCancelled;
            continue;
        }
        if (folderPolicy == 0 || IsDots(entry.name))
            continue;
        if (folderPolicy == 1) {
            int answer = AskUser(app, StyleYesNoCancel, app.LookupText(9055));
            if (answer == AnswerCancel) {
                result = CheckCancelled;
                continue;
            }
            folderPolicy = answer == AnswerPositive ? 2 : 0;
            Settings::WriteNumber("Folder", folderPolicy);
            if (folderPolicy == 0)
                continue;
        }
        if (removePolicy == 1) {
            int answer = AskUser(app, StyleYesNoCancel, app.LookupText(9056));
            if (answer == AnswerCancel) {
                result = CheckCancelled;
                continue;
            }
            removePolicy = answer == AnswerPositive ? 2 : 0;
            Settings::WriteNumber("Remove", removePolicy);
        }
        if (link)
            continue;
        if (!FitsPathBuffer(child)) {
            AskUser(app, StyleNotice, MessageText::WithPath(app.LookupText(9071), child));
            continue;
        }
        if (CheckFolderForSchedule(app, child, (entry.attributes & FILE_ATTRIBUTE_SYSTEM) != 0, disk) ==
            CheckCancelled)
            result = CheckCancelled;
    }
    return result;
}
