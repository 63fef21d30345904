#include "ui/ItemPages.h"

#include "common/Settings.h"
#include "engine/FileShredder.h"
#include "engine/FolderShredder.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"

#include <climits>

namespace {

// What a list holds, and the texts that go with it.
struct ListKind {
    bool folders;
    int emptyOnShred;   // shred-now with an empty list
    int emptyOnRemove;  // remove-all with an empty list
    int removeAll;      // confirmation before emptying the list
    int missing;        // an entry that names nothing
    int wrongKind;      // a file where a folder belongs, or the other way round
};

const ListKind FileKind = {false, 9021, 9068, 9066, 9034, 9141};
const ListKind FolderKind = {true, 9022, 9069, 9067, 9140, 9142};

std::string TextWithPath(const ShredContext& context, int key, const std::string& path)
{
    MessageText::Values values;
    values.s = &path;
    return MessageText::Compose(context.LookupText(key), values);
}

void Notice(ShredContext& context, int key)
{
    Report(context, WarningStyle::Notice, context.LookupText(key));
}

// Confirmations are asked of the person at the window even in a silent run: nothing is
// destroyed or forgotten on an answer nobody gave.
bool Confirmed(ShredContext& context, int key, const std::string& title)
{
    return AskInPerson(context, WarningStyle::Confirm, context.LookupText(key), title, DialogSize::Normal) ==
           Answer::Positive;
}

bool RemoveAll(PageSupport& support, ItemList& list, const ListKind& kind)
{
    if (list.Empty()) {
        Notice(support.context, kind.emptyOnRemove);
        return false;
    }
    if (!Confirmed(support.context, kind.removeAll, support.context.title))
        return false;
    list.Clear();
    return true;
}

// One listed entry through the job's checks; an entry that names nothing, or no longer the kind
// its list holds, is skipped with a notice. Links go on to the checks, which remove them as links.
JobItemResult ShredEntry(PageSupport& support, const std::string& entry, const ListKind& kind)
{
    ShredContext& context = support.context;
    if (!FitsPathBuffer(entry))
        return ShredJobItem(context, entry, support.shredders);  // refused there by name
    std::string fullPath;
    DWORD attributes = 0;
    if (!support.shredders.QueryStatus(entry, fullPath, attributes)) {
        Report(context, WarningStyle::Notice, TextWithPath(context, kind.missing, entry));
        return JobItemResult::NotFound;
    }
    bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!link && folder != kind.folders) {
        Report(context, WarningStyle::Notice, TextWithPath(context, kind.wrongKind, entry));
        return JobItemResult::Done;
    }
    return ShredJobItem(context, entry, support.shredders);
}

bool ShredNow(PageSupport& support, ItemList& list, const ListKind& kind)
{
    ShredContext& context = support.context;
    if (list.Empty()) {
        Notice(context, kind.emptyOnShred);
        return false;
    }
    if (!Confirmed(context, 9032, context.LookupText(9064)))
        return false;
    context.stopRequest = 0;
    // A copy: the list is emptied at the end whatever happens to it meanwhile.
    const std::vector<std::string> entries = list.Entries();
    for (const std::string& entry : entries) {
        if (ShredEntry(support, entry, kind) == JobItemResult::Stop || context.stopRequest)
            break;
    }
    list.Clear();
    ReleaseProgressWindow(context);
    return true;
}

bool IsDriveRoot(const std::string& path)
{
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

}  // namespace

size_t ItemList::Find(const std::string& entry) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i] == entry)
            return i;
    return npos;
}

bool ItemList::Append(const std::string& entry)
{
    if (Find(entry) != npos)
        return false;
    entries_.push_back(entry);
    return true;
}

void ItemList::RemoveAt(size_t position)
{
    if (position < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
}

size_t TaskList::Find(const std::string& name) const
{
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name)
            return i;
    return npos;
}

void TaskList::Append(const std::string& name, short taskIndex)
{
    names_.push_back(name);
    indexes_.push_back(taskIndex);
}

void TaskList::RemoveAt(size_t position)
{
    if (position >= names_.size())
        return;
    names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(position));
    indexes_.erase(indexes_.begin() + static_cast<std::ptrdiff_t>(position));
}

void TaskList::Clear()
{
    names_.clear();
    indexes_.clear();
}

std::vector<std::string> SplitOpenFileResult(const char* result, size_t size)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < size && result[at] != '\0') {
        size_t end = at;
        while (end < size && result[end] != '\0')
            ++end;
        parts.emplace_back(result + at, end - at);
        at = end + 1;
    }
    if (parts.size() <= 1)
        return parts;
    std::vector<std::string> paths;
    const std::string& folder = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& name = parts[i];
        bool full = (name.size() >= 2 && name[1] == ':') || (name.size() >= 2 && name[0] == '\\' && name[1] == '\\');
        if (full)
            paths.push_back(name);
        else if (!folder.empty() && folder.back() == '\\')
            paths.push_back(folder + name);
        else
            paths.push_back(folder + "\\" + name);
    }
    return paths;
}

int ParsePassCount(const std::string& argument)
{
    size_t at = 0;
    while (at < argument.size() && (argument[at] == ' ' || argument[at] == '\t' || argument[at] == '\n' ||
                                    argument[at] == '\r' || argument[at] == '\v' || argument[at] == '\f'))
        ++at;
    bool negative = false;
    if (at < argument.size() && (argument[at] == '+' || argument[at] == '-')) {
        negative = argument[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < argument.size() && argument[at] >= '0' && argument[at] <= '9'; ++at) {
        if (value < INT_MAX)
            value = value * 10 + (argument[at] - '0');  // beyond every bound: corrected to 10 all the same
    }
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

// ---------------------------------------------------------------------------------------------

void CMyPropertyPage1::LoadSettings()
{
    method = Settings::ReadNumber("Method", 0);
    if (method != 0 && method != 1) {
        method = 0;
        Settings::WriteNumber("Method", method);
    }
    passCount = Settings::ReadNumber("PassCount", 3);
    if (passCount < 1 || passCount > 10) {
        passCount = 3;
        Settings::WriteNumber("PassCount", passCount);
    }
}

void CMyPropertyPage1::ChooseQuick()
{
    method = 0;
    Settings::WriteNumber("Method", 0);
}

int CMyPropertyPage1::ChooseThorough(const std::string& argument)
{
    int passes = ParsePassCount(argument);
    if (passes == 0)
        return 0;
    method = 1;
    Settings::WriteNumber("Method", 1);
    if (passes < 1 || passes > 10) {
        passes = passes < 1 ? 1 : 10;
        Report(support_.context, WarningStyle::Error, support_.context.LookupText(9020));
    }
    passCount = passes;
    if (Settings::ReadNumber("PassCount", 3) != passes)
        Settings::WriteNumber("PassCount", passes);
    return passes;
}

std::string CMyPropertyPage2::BrowseFiles(std::vector<std::string>* added)
{
    ShredContext& context = support_.context;
    std::vector<std::string> chosen;
    ItemDialogs::Choice choice = support_.dialogs.ChooseFiles(context.parentWindow, chosen);
    if (choice == ItemDialogs::Choice::TooMany)
        Notice(context, 9144);
    if (choice != ItemDialogs::Choice::Chosen)
        return std::string();
    std::string last;
    for (const std::string& path : chosen) {
        // Refused by name rather than cut: a cut path names another file.
        if (!FitsPathBuffer(path)) {
            ReportLongChildPath(context, path);
            continue;
        }
        if (!files.Append(path))
            continue;
        last = path;
        if (added)
            added->push_back(path);
    }
    return last;
}

bool CMyPropertyPage2::RemoveAllFiles()
{
    return RemoveAll(support_, files, FileKind);
}

bool CMyPropertyPage2::ShredFilesNow()
{
    return ShredNow(support_, files, FileKind);
}

std::string CMyPropertyPage3::BrowseFolder()
{
    ShredContext& context = support_.context;
    std::string path;
    if (!support_.dialogs.ChooseFolder(context.parentWindow, path) || path.empty())
        return std::string();
    if (!FitsPathBuffer(path)) {
        ReportLongChildPath(context, path);
        return std::string();
    }
    // A whole drive is not a folder to walk: its root holds the system's own folders.
    if (IsDriveRoot(path)) {
        Report(context, WarningStyle::Notice, TextWithPath(context, 9143, path));
        return std::string();
    }
    return folders.Append(path) ? path : std::string();
}

bool CMyPropertyPage3::RemoveAllFolders()
{
    return RemoveAll(support_, folders, FolderKind);
}

bool CMyPropertyPage3::ShredFoldersNow()
{
    return ShredNow(support_, folders, FolderKind);
}

void CMyPropertyPage3::EditSubfolderOptions()
{
    SubfolderPolicies before;
    before.contents = Settings::ReadNumber("Folder", 0);
    before.removal = Settings::ReadNumber("Remove", 0);
    SubfolderPolicies chosen = before;
    if (!support_.dialogs.EditSubfolderOptions(support_.context.parentWindow, chosen))
        return;
    if (chosen.contents != before.contents)
        Settings::WriteNumber("Folder", chosen.contents);
    if (chosen.removal != before.removal)
        Settings::WriteNumber("Remove", chosen.removal);
}

std::string OfferedDriveRoot(const ShredContext& context, const std::string& label)
{
    const DriveEntry* drive = label.size() == 2 ? DriveEntryOf(context, label) : nullptr;
    return drive ? drive->root : std::string();
}

void CMyPropertyPage4::ShredDriveNow(const std::string& label)
{
    std::string root = OfferedDriveRoot(support_.context, label);
    if (root.empty())
        return;  // not a drive the window offers
    support_.shredders.WipeFreeSpace(support_.context, root);
}

void CMyPropertyPage5::ShredRecycleBinNow()
{
    support_.shredders.ShredRecycleBinNow(support_.context);
}
