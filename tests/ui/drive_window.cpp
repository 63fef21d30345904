// drive_window STEP...: drives Nullwright.exe's main window from another process, as a user
// would, by finding windows and controls by their text, clicking and typing. Each step waits
// for what it needs (up to a minute) and prints what it saw; the first step that fails ends the
// program with status 3. Steps:
//   main                   wait for the main window
//   click=TEXT             press the button (or tick the box) TEXT of the window in hand; '&' in
//                          a control's text is not counted
//   select=TEXT            select the entry TEXT of the visible list of the main window
//   choose=TEXT            choose the entry TEXT in a visible drop-down list of the main window
//   list                   print the entries of the visible list of the main window: "list: ..."
//   list-with=ENTRY        the same once the visible list holds ENTRY (a list the window fills
//                          when its area is chosen)
//   dialog=TITLE           wait for a dialog titled TITLE over the main window (or before it
//                          shows) and take it in hand; prints its message: "dialog: ..." (line
//                          breaks as '|')
//   main-again             take the main window in hand again
//   type=TEXT              type TEXT into the text field of the window in hand (its movie's first)
//   schedule-in=SECONDS    in the scheduler's schedule dialog in hand: a single run at the first
//                          minute boundary at least SECONDS from now, date and time; prints it:
//                          "schedule: YYYY-MM-DD HH:MM"
//   open-file=FOLDER|NAME|NAME...  in the open-file dialog: go to FOLDER, choose the names, Open
//   folder=PATH            in the folder browser: walk the tree to PATH by keyboard, OK
//   cancel-progress        wait for the progress window and press its Cancel
//   idle                   wait until the main window takes input again (a run has ended)
//   close                  close the main window as its system menu does
#include "tests/ui/TreeWalk.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using uitest::WithoutMnemonic;

namespace {

constexpr int Patience = 1200;  // tries of 50 ms: a minute for anything to show
constexpr int MovieHostId = 1060;

HWND mainWindow = nullptr;
HWND current = nullptr;
std::vector<HWND> handled;  // dialogs dealt with already

std::string Text(HWND window)
{
    char text[4096] = "";
    // Cross-process: the system copies the text over.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool IsDialog(HWND window)
{
    return ClassOf(window) == "#32770";
}

struct Search {
    std::string text;
    std::string className;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleChild(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    if (!IsWindowVisible(window) || lstrcmpiA(ClassOf(window).c_str(), search->className.c_str()) != 0)
        return TRUE;
    if (!search->text.empty() && WithoutMnemonic(Text(window)) != search->text)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND VisibleChild(HWND parent, const std::string& className, const std::string& text = std::string())
{
    Search search{text, className};
    EnumChildWindows(parent, FindVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Find>
HWND WaitFor(Find find)
{
    for (int tries = 0; tries < Patience; ++tries) {
        HWND found = find();
        if (found)
            return found;
        Sleep(50);
    }
    return nullptr;
}

struct TopSearch {
    std::string title;
    bool needsHost;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<TopSearch*>(lParam);
    if (!IsDialog(window) || !IsWindowVisible(window) || !IsWindowEnabled(window) || window == mainWindow)
        return TRUE;
    for (HWND done : handled)
        if (done == window)
            return TRUE;
    if (Text(window) != search->title)
        return TRUE;
    if (search->needsHost && !GetDlgItem(window, MovieHostId))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForDialog(const std::string& title)
{
    return WaitFor([&]() -> HWND {
        // A dialog handled before may come back as another one with the same handle.
        std::vector<HWND> alive;
        for (HWND done : handled)
            if (IsWindow(done) && IsWindowVisible(done))
                alive.push_back(done);
        handled = alive;
        TopSearch search{title, false};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
}

// The message of a dialog: the warning dialogs keep it in a hidden text (1101), the notice in
// its text 1008, message boxes in their static texts.
std::string MessageOf(HWND dialog)
{
    std::string text;
    for (int id : {1101, 1008}) {
        HWND item = GetDlgItem(dialog, id);
        if (item && !(text = Text(item)).empty())
            break;
    }
    if (text.empty()) {
        HWND child = nullptr;
        while ((child = FindWindowExA(dialog, child, "Static", nullptr)) != nullptr) {
            std::string part = Text(child);
            if (part.empty())
                continue;
            if (!text.empty())
                text += '|';
            text += part;
        }
    }
    for (char& ch : text)
        if (ch == '\n')
            ch = '|';
    std::string clean;
    for (char ch : text)
        if (ch != '\r')
            clean += ch;
    return clean;
}

bool Fail(const std::string& what)
{
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    return false;
}

// A button of the window in hand: in its movie first, else among its own controls.
HWND FindButton(HWND window, const std::string& text)
{
    HWND host = GetDlgItem(window, MovieHostId);
    HWND button = host ? VisibleChild(host, "Button", text) : nullptr;
    return button ? button : VisibleChild(window, "Button", text);
}

bool Click(const std::string& text)
{
    HWND button = WaitFor([&] {
        HWND found = FindButton(current, text);
        return found && IsWindowEnabled(found) ? found : nullptr;
    });
    if (!button)
        return Fail("no button \"" + text + "\" in \"" + Text(current) + "\"");
    // Posted: the press may open a modal dialog, which this program then drives.
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

// An entry of a list or combo box of the other process. Wine hands such texts over between
// processes in UTF-16, whichever kind of window holds them.
std::string EntryText(HWND control, UINT message, DWORD_PTR index)
{
    wchar_t wide[1024] = L"";
    SendMessageTimeoutW(control, message, index, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, nullptr);
    char text[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    return text;
}

HWND VisibleList()
{
    HWND host = GetDlgItem(mainWindow, MovieHostId);
    return host ? VisibleChild(host, "ListBox") : nullptr;
}

std::vector<std::string> ListEntries(HWND list)
{
    std::vector<std::string> entries;
    DWORD_PTR count = 0;
    SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (DWORD_PTR i = 0; i < count && i < 10000; ++i)
        entries.push_back(EntryText(list, LB_GETTEXT, i));
    return entries;
}

bool SelectEntry(const std::string& entry)
{
    HWND list = VisibleList();
    if (!list)
        return Fail("no list shows");
    std::vector<std::string> entries = ListEntries(list);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != entry)
            continue;
        // A click on the entry: the selection, then the notice the list sends its parent.
        SendMessageA(list, LB_SETCURSEL, i, 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return Fail("no entry \"" + entry + "\" in the list");
}

struct ComboSearch {
    std::string entry;
    HWND combo = nullptr;
    DWORD_PTR index = 0;
};

BOOL CALLBACK FindComboEntry(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ComboSearch*>(lParam);
    if (!IsWindowVisible(window) || lstrcmpiA(ClassOf(window).c_str(), "ComboBox") != 0)
        return TRUE;
    DWORD_PTR count = 0;
    SendMessageTimeoutA(window, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (DWORD_PTR i = 0; i < count && i < 1000; ++i) {
        if (search->entry == EntryText(window, CB_GETLBTEXT, i)) {
            search->combo = window;
            search->index = i;
            return FALSE;
        }
    }
    return TRUE;
}

bool ChooseEntry(const std::string& entry)
{
    ComboSearch search{entry};
    EnumChildWindows(GetDlgItem(mainWindow, MovieHostId), FindComboEntry, reinterpret_cast<LPARAM>(&search));
    if (!search.combo)
        return Fail("no drop-down list offers \"" + entry + "\"");
    // A choice with the mouse: the selection, then the notice the box sends its parent.
    SendMessageA(search.combo, CB_SETCURSEL, search.index, 0);
    // Posted: the choice may make the window ask something.
    PostMessageA(GetParent(search.combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(search.combo));
    return true;
}

void Type(HWND edit, const std::string& text)
{
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

bool OpenFiles(const std::string& spec)
{
    std::vector<std::string> parts = Split(spec, '|');
    HWND dialog = WaitForDialog("Open");
    if (!dialog)
        return Fail("no open-file dialog");
    HWND nameBox = GetDlgItem(dialog, 1148);  // the file name box
    HWND edit = nameBox ? FindWindowExA(nameBox, nullptr, "ComboBox", nullptr) : nullptr;
    edit = edit ? FindWindowExA(edit, nullptr, "Edit", nullptr) : (nameBox ? FindWindowExA(nameBox, nullptr, "Edit", nullptr) : nullptr);
    if (!edit)
        return Fail("no file name box in the open-file dialog");
    // The folder first, as a user types it and presses Open; the dialog goes there.
    const std::string& folder = parts[0];
    Type(edit, folder);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    std::string last = folder.substr(folder.find_last_of('\\') + 1);
    HWND lookIn = GetDlgItem(dialog, 1137);
    if (!WaitFor([&] { return Text(lookIn) == last ? lookIn : nullptr; }))
        return Fail("the open-file dialog did not go to " + folder + " (it shows " + Text(lookIn) + ")");
    std::string names;
    for (size_t i = 1; i < parts.size(); ++i)
        names += (i > 1 ? " \"" : "\"") + parts[i] + "\"";
    Type(edit, names);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return IsWindow(dialog) ? nullptr : mainWindow; }))
        return Fail("the open-file dialog stayed open");
    return true;
}

// The text of a tree item of another process: the item record and its text live in that
// process's memory for the call.
std::string TreeItemText(HWND tree, HTREEITEM item)
{
    DWORD process = 0;
    GetWindowThreadProcessId(tree, &process);
    HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!target)
        return std::string();
    const size_t textSize = 520;
    char* remote = static_cast<char*>(VirtualAllocEx(target, nullptr, sizeof(TVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
    std::string result;
    if (remote) {
        TVITEMA record = {};
        record.mask = TVIF_TEXT;
        record.hItem = item;
        record.pszText = remote + sizeof(TVITEMA);
        record.cchTextMax = static_cast<int>(textSize);
        char text[textSize] = "";
        SIZE_T moved = 0;
        if (WriteProcessMemory(target, remote, &record, sizeof(record), &moved) &&
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(target, remote + sizeof(TVITEMA), text, textSize - 1, &moved))
            result = text;
        VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    }
    CloseHandle(target);
    return result;
}

// The folder browser's tree, walked with the keys a user presses (tests/ui/TreeWalk.h). Wine
// shows the root of drive Z: as "/" on the desktop.
bool ChooseFolder(const std::string& path)
{
    HWND dialog = WaitForDialog("Browse for Folder");
    if (!dialog)
        return Fail("no folder browser");
    HWND tree = VisibleChild(dialog, "SysTreeView32");
    if (!tree)
        return Fail("no tree in the folder browser");
    if (path.size() < 3 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':')
        return Fail("only folders on drive Z: can be walked to: " + path);
    std::vector<std::string> parts = Split(path.substr(3), '\\');
    parts.insert(parts.begin(), "/");
    if (!uitest::WalkTree(dialog, tree, parts, TreeItemText))
        return Fail("the folder browser's tree does not lead to " + path);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return IsWindow(dialog) ? nullptr : mainWindow; }))
        return Fail("the folder browser stayed open");
    return true;
}

bool TypeText(const std::string& text)
{
    HWND host = GetDlgItem(current, MovieHostId);
    HWND edit = WaitFor([&] {
        HWND found = host ? VisibleChild(host, "Edit") : nullptr;
        return found ? found : VisibleChild(current, "Edit");
    });
    if (!edit)
        return Fail("no text field in \"" + Text(current) + "\"");
    Type(edit, text);
    return true;
}

// Sets a date and time picker of another process: the record lives in that process for the call.
bool SetPicker(HWND picker, const SYSTEMTIME& value)
{
    DWORD process = 0;
    GetWindowThreadProcessId(picker, &process);
    HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!target)
        return false;
    void* remote = VirtualAllocEx(target, nullptr, sizeof(value), MEM_COMMIT, PAGE_READWRITE);
    bool set = false;
    if (remote) {
        SIZE_T moved = 0;
        set = WriteProcessMemory(target, remote, &value, sizeof(value), &moved) &&
              SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote)) != 0;
        VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    }
    CloseHandle(target);
    return set;
}

// The schedule dialog's controls (schedule/wrapper/ScheduleDialogIds.h).
constexpr int ScheduleKindId = 1001, StartDateId = 1002, StartTimeId = 1003;

bool ScheduleIn(int seconds)
{
    // The first minute boundary at least `seconds` ahead, in local time.
    std::time_t due = std::time(nullptr) + seconds;
    due += (60 - due % 60) % 60;
    std::tm local = *std::localtime(&due);
    SYSTEMTIME start = {};
    start.wYear = static_cast<WORD>(local.tm_year + 1900);
    start.wMonth = static_cast<WORD>(local.tm_mon + 1);
    start.wDay = static_cast<WORD>(local.tm_mday);
    start.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    start.wHour = static_cast<WORD>(local.tm_hour);
    start.wMinute = static_cast<WORD>(local.tm_min);
    HWND kind = GetDlgItem(current, ScheduleKindId);
    if (!kind || !GetDlgItem(current, StartDateId) || !GetDlgItem(current, StartTimeId))
        return Fail("\"" + Text(current) + "\" is not the schedule dialog");
    SendMessageA(kind, CB_SETCURSEL, 0, 0);  // once
    SendMessageA(current, WM_COMMAND, MAKEWPARAM(ScheduleKindId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
    if (!SetPicker(GetDlgItem(current, StartDateId), start) || !SetPicker(GetDlgItem(current, StartTimeId), start))
        return Fail("the schedule dialog's date or time could not be set");
    std::printf("schedule: %04u-%02u-%02u %02u:%02u\n", start.wYear, start.wMonth, start.wDay, start.wHour,
                start.wMinute);
    return true;
}

BOOL CALLBACK FindProgress(HWND window, LPARAM lParam)
{
    if (IsDialog(window) && IsWindowVisible(window) && GetDlgItem(window, 1027) && GetDlgItem(window, MovieHostId)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

bool Step(const std::string& step)
{
    std::string name = step.substr(0, step.find('='));
    std::string value = step.find('=') == std::string::npos ? std::string() : step.substr(step.find('=') + 1);
    if (name == "main" || name == "main-again") {
        mainWindow = WaitFor([] {
            HWND window = nullptr;
            while ((window = FindWindowExA(nullptr, window, "#32770", "Vantor Shredder")) != nullptr) {
                HWND host = GetDlgItem(window, MovieHostId);
                if (host && IsWindowVisible(window) && VisibleChild(host, "Button", "Files"))
                    return window;
            }
            return static_cast<HWND>(nullptr);
        });
        current = mainWindow;
        return mainWindow ? true : Fail("no main window");
    }
    // A dialog the program shows before its main window, and its buttons, need no main window.
    if (!mainWindow && name != "dialog" && !(name == "click" && current))
        return Fail("no main window in hand");
    if (name == "click")
        return Click(value);
    if (name == "select")
        return SelectEntry(value);
    if (name == "choose")
        return ChooseEntry(value);
    if (name == "list" || name == "list-with") {
        std::vector<std::string> entries;
        HWND list = WaitFor([&]() -> HWND {
            HWND shown = VisibleList();
            if (!shown)
                return nullptr;
            entries = ListEntries(shown);
            bool holds = name == "list";
            for (const std::string& entry : entries)
                holds = holds || entry == value;
            return holds ? shown : nullptr;
        });
        if (!list)
            return Fail(name == "list" ? "no list shows" : "no list shows \"" + value + "\"");
        if (entries.empty())
            std::printf("list: (empty)\n");
        for (const std::string& entry : entries)
            std::printf("list: %s\n", entry.c_str());
        return true;
    }
    if (name == "dialog") {
        HWND dialog = WaitForDialog(value);
        if (!dialog)
            return Fail("no dialog \"" + value + "\"");
        handled.push_back(dialog);
        current = dialog;
        std::printf("dialog: %s\n", MessageOf(dialog).c_str());
        return true;
    }
    if (name == "type")
        return TypeText(value);
    if (name == "schedule-in")
        return ScheduleIn(std::atoi(value.c_str()));
    if (name == "open-file")
        return OpenFiles(value);
    if (name == "folder")
        return ChooseFolder(value);
    if (name == "cancel-progress") {
        HWND progress = WaitFor([] {
            HWND found = nullptr;
            EnumWindows(FindProgress, reinterpret_cast<LPARAM>(&found));
            return found;
        });
        if (!progress)
            return Fail("no progress window");
        HWND cancel = WaitFor([&] { return VisibleChild(GetDlgItem(progress, MovieHostId), "Button", "Cancel"); });
        if (!cancel)
            return Fail("no Cancel in the progress window");
        PostMessageA(cancel, BM_CLICK, 0, 0);
        std::printf("progress: cancelled\n");
        return true;
    }
    if (name == "idle") {
        // Enabled, and no dialog of the program over it.
        if (!WaitFor([] { return IsWindowEnabled(mainWindow) ? mainWindow : nullptr; }))
            return Fail("the main window stayed disabled");
        current = mainWindow;
        return true;
    }
    if (name == "close") {
        PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    return Fail("unknown step " + step);
}

}  // namespace

// A test that went wrong must not leave the program waiting for a user who never comes.
void EndProgram()
{
    HWND window = mainWindow ? mainWindow : FindWindowExA(nullptr, nullptr, "#32770", "Vantor Shredder");
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process))
        return;
    HANDLE target = OpenProcess(PROCESS_TERMINATE, FALSE, process);
    if (target) {
        TerminateProcess(target, 3);
        CloseHandle(target);
    }
}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!Step(argv[i])) {
            std::printf("(at step %d: %s)\n", i, argv[i]);
            EndProgram();
            return 3;
        }
        std::fflush(stdout);
    }
    return 0;
}
