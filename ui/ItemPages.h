// The holders of the main window's lists and of the actions its areas start: the shred settings
// (CMyPropertyPage1), the file list (2), the folder list (3), a drive's free space (4), the
// Recycle Bin (5) and the scheduled tasks (6). None of them is a window and none holds a window
// handle: tests drive them directly. The dialogs they open (the open-file dialog, the folder
// browser, the subfolder options) are behind ItemDialogs; the engine is behind JobActions; every
// question and notice goes through the reporting policy of engine/Reporting.h.
#pragma once

#include "engine/ItemShredder.h"
#include "engine/ShredContext.h"
#include "ui/SubfolderOptionsDlg.h"

#include <windows.h>

#include <string>
#include <vector>

// An ordered list of distinct entries; entries are compared exactly, letter case and all.
class ItemList {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // The position of `entry`, or npos.
    size_t Find(const std::string& entry) const;
    // Appends `entry` unless it is listed already; true when it was appended.
    bool Append(const std::string& entry);
    void RemoveAt(size_t position);
    void Clear() { entries_.clear(); }
    size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

// The program's own scheduled tasks as last read from the scheduler: names and, at the same
// positions, their indexes in the scheduler's collection.
class TaskList {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // The position of the first task named exactly `name`, or npos.
    size_t Find(const std::string& name) const;
    void Append(const std::string& name, short taskIndex);
    void RemoveAt(size_t position);
    void Clear();
    size_t Count() const { return names_.size(); }
    const std::vector<std::string>& Names() const { return names_; }
    short TaskIndexAt(size_t position) const { return indexes_[position]; }

private:
    std::vector<std::string> names_;
    std::vector<short> indexes_;
};

// The system's dialogs behind the lists; SystemItemDialogs() are the real ones.
class ItemDialogs {
public:
    enum class Choice { Chosen, Cancelled, TooMany };
    virtual ~ItemDialogs() = default;
    // The open-file dialog, owned by `owner`: the paths selected, in the dialog's order.
    // TooMany when the selection's names did not fit the dialog's result.
    virtual Choice ChooseFiles(HWND owner, std::vector<std::string>& paths) = 0;
    // The shell's folder browser, file-system folders only: true with the chosen folder's path
    // (empty when the chosen item has none), false when the user cancelled.
    virtual bool ChooseFolder(HWND owner, std::string& path) = 0;
    // The subfolder options dialog: true when it ended with OK, `policies` then holds its values.
    virtual bool EditSubfolderOptions(HWND owner, SubfolderPolicies& policies) = 0;
};

ItemDialogs& SystemItemDialogs();

// The paths of an open-file dialog's result: one full path, or a folder followed by the names
// chosen in it (a name that is a full path already stands for itself). `result` holds strings
// ended by zeroes and a final zero.
std::vector<std::string> SplitOpenFileResult(const char* result, size_t size);

// The pass count in an "IDC_FS_ThroughShred" argument: a signed decimal number after leading
// blanks, up to the first character that is not a digit; 0 without digits.
int ParsePassCount(const std::string& argument);

// The root ("C:\\") of the drive labelled `label` ("C:", in either letter case) when the main
// window offers that drive (the start-up's drive table holds it); empty otherwise.
std::string OfferedDriveRoot(const ShredContext& context, const std::string& label);

// What every page works with.
struct PageSupport {
    ShredContext& context;
    JobActions& shredders;
    ItemDialogs& dialogs;
};

// The shred settings: the method (0 quick, 1 thorough) and the pass count (1 to 10), mirrors of
// the stored settings "Method" and "PassCount".
class CMyPropertyPage1 {
public:
    explicit CMyPropertyPage1(PageSupport& support) : support_(support) {}

    // Reads both settings; a method other than 0 or 1 becomes 0, a pass count outside 1 to 10
    // becomes 3, and either is stored back corrected.
    void LoadSettings();
    // The quick method, stored.
    void ChooseQuick();
    // The thorough method with the pass count of `argument`; 0 when the argument holds none (then
    // nothing changes), else the pass count after correction to 1..10 (with a notice), stored.
    int ChooseThorough(const std::string& argument);

    int method = 0;
    int passCount = 3;

private:
    PageSupport& support_;
};

// The file list.
class CMyPropertyPage2 {
public:
    explicit CMyPropertyPage2(PageSupport& support) : support_(support) {}

    // The open-file dialog; every new path is appended and listed in `added` (when given), in the
    // dialog's order. Returns the last path added, or empty when none was.
    std::string BrowseFiles(std::vector<std::string>* added = nullptr);
    // Empties the list after a confirmation; true when it was emptied.
    bool RemoveAllFiles();
    // Shreds every listed file after a confirmation; true when a run took place (the list is then
    // empty, whether the run ended or was stopped).
    bool ShredFilesNow();

    ItemList files;

private:
    PageSupport& support_;
};

// The folder list.
class CMyPropertyPage3 {
public:
    explicit CMyPropertyPage3(PageSupport& support) : support_(support) {}

    // The folder browser; the folder chosen, appended, or empty when nothing was added.
    std::string BrowseFolder();
    bool RemoveAllFolders();
    bool ShredFoldersNow();
    // The subfolder options dialog; a setting is stored only when its value changed.
    void EditSubfolderOptions();

    ItemList folders;

private:
    PageSupport& support_;
};

// A drive's free space.
class CMyPropertyPage4 {
public:
    explicit CMyPropertyPage4(PageSupport& support) : support_(support) {}

    // Wipes the free space of the drive labelled `label` ("C:"), one of the drives the main window
    // offers; any other label is ignored.
    void ShredDriveNow(const std::string& label);

private:
    PageSupport& support_;
};

// The Recycle Bin.
class CMyPropertyPage5 {
public:
    explicit CMyPropertyPage5(PageSupport& support) : support_(support) {}

    // The Recycle Bin alert (until its box has once been ticked), then the Recycle Bin shredder.
    void ShredRecycleBinNow();

private:
    PageSupport& support_;
};

// The scheduled tasks: the list the scheduling front end fills and the main window looks up.
class CMyPropertyPage6 {
public:
    explicit CMyPropertyPage6(PageSupport&) {}

    TaskList tasks;
};
