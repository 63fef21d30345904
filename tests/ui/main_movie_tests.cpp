// The installed main movie (Skin\VantorShredder.swf) in the real main window: every command it
// raises with its argument, how it follows the program's variables, its areas, its keyboard
// and that no text of it is cut at this display's scale.
#include "common/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/MainWindowFakes.h"
#include "tests/ui/TreeWalk.h"
#include "ui/MainDlg.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstring>
#include <utility>

using namespace uitest;

namespace {

// The main window with its commands recorded rather than carried out.
class RecordingMainDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    using CMainDlg::ActiveMovie;
    std::vector<std::pair<std::string, std::string>> commands;

protected:
    void OnFSCommand(const std::string& command, const std::string& args) override
    {
        commands.emplace_back(command, args);
    }
};

using Command = std::pair<std::string, std::string>;

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The movie's controls that show now, in the movie's order.
std::vector<HWND> ShownControls(HWND window, const char* className = nullptr)
{
    std::vector<HWND> controls;
    HWND host = GetDlgItem(window, 1060);
    for (int id = 20000; id < 20300; ++id) {
        HWND control = GetDlgItem(host, id);
        if (control && IsWindowVisible(control) && (!className || lstrcmpiA(ClassOf(control).c_str(), className) == 0))
            controls.push_back(control);
    }
    return controls;
}

HWND Shown(HWND window, const char* className, const std::string& text)
{
    for (HWND control : ShownControls(window, className))
        if (WithoutMnemonic(Text(control)) == text)
            return control;
    return nullptr;
}

std::vector<std::string> Entries(HWND control, bool combo = false)
{
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[1024] = "";
        SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// A choice with the mouse: the selection, then the notice the control sends its parent.
void Choose(HWND control, const std::string& entry, bool combo)
{
    std::vector<std::string> entries = Entries(control, combo);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != entry)
            continue;
        SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, i, 0);
        SendMessageA(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return;
    }
    FAIL("no entry " << entry);
}

void Press(HWND window, const std::string& text)
{
    HWND button = Shown(window, "Button", text);
    REQUIRE_MESSAGE(button != nullptr, "no button " << text);
    Click(button);
}

struct MovieFixture {
    Installation installation;
    test::ScriptedChannel channel;
    ShredContext context;
    RecordingOpener opener;
    std::unique_ptr<RecordingMainDlg> dialog;

    MovieFixture()
    {
        installation.CopyAllMovies();
        installation.CopyEnglishPack();
        context.appPath = installation.Path();
        context.title = "Vantor Shredder";
        context.channel = &channel;
        std::memcpy(context.machine.drives[2].root, "C:\\", 4);
        std::memcpy(context.machine.drives[4].root, "E:\\", 4);
        MainWindowSeams seams;
        seams.opener = &opener;
        dialog.reset(new RecordingMainDlg(context, seams));
    }
    MovieHost& Movie() { return dialog->ActiveMovie(); }
    // Runs the window with the movie playing; `body` runs once it shows.
    void Run(const std::function<void(HWND window)>& body)
    {
        ScriptResult result = RunScripted(*dialog, {
            [&](HWND window) {
                body(window);
                PostMessageA(window, WM_CLOSE, 0, 0);
            },
        });
        CHECK_FALSE(result.hung);
    }
    std::vector<Command> Take()
    {
        std::vector<Command> taken = dialog->commands;
        dialog->commands.clear();
        return taken;
    }
};

const char* const Areas[] = {"Files", "Folders", "Free space", "Recycle Bin", "Scheduled tasks", "Options"};

}  // namespace

TEST_CASE("each area button shows its area; entering the scheduled tasks raises IDC_FS_GetIn")
{
    MovieFixture movie;
    movie.Run([&](HWND window) {
        // The files show first.
        CHECK(Shown(window, "Static", "Files") != nullptr);
        CHECK(movie.Take().empty());
        for (const char* area : Areas) {
            CAPTURE(area);
            Press(window, area);
            CHECK(Shown(window, "Static", area) != nullptr);
            for (const char* other : Areas)
                if (std::strcmp(other, area) != 0)
                    CHECK(Shown(window, "Static", other) == nullptr);
            std::vector<Command> raised = movie.Take();
            if (std::strcmp(area, "Scheduled tasks") == 0)
                CHECK(raised == std::vector<Command>{{"IDC_FS_GetIn", ""}});
            else
                CHECK(raised.empty());
        }
    });
}

TEST_CASE("every button of every area raises its command with the argument it stands for")
{
    MovieFixture movie;
    movie.Run([&](HWND window) {
        MovieHost& flash = movie.Movie();
        for (const char* path : {"C:\\a.txt", "C:\\My Files\\b c.txt"}) {
            flash.SetVariable("_root.NamesOfFileItems", path);
            flash.SetVariable("_root.newEntry", "1");
        }
        for (const char* path : {"C:\\dir", "D:\\other dir"}) {
            flash.SetVariable("_root.NamesOfFolderItems", path);
            flash.SetVariable("_root.newFEntry", "1");
        }

        // Files.
        Press(window, "Add files...");
        Press(window, "Remove");  // nothing selected
        HWND files = ShownControls(window, "ListBox").at(0);
        Choose(files, "C:\\My Files\\b c.txt", false);
        Press(window, "Remove");
        CHECK(Entries(files) == std::vector<std::string>{"C:\\a.txt"});
        CHECK(flash.GetVariable("_root.myCounter") == "1");
        Press(window, "Remove all");
        Press(window, "Schedule...");
        Press(window, "Shred now");
        CHECK(movie.Take() == std::vector<Command>{{"ID_FS_Browse", ""},
                                                   {"ID_FS_RemoveItem", ""},
                                                   {"ID_FS_RemoveItem", "C:\\My Files\\b c.txt"},
                                                   {"ID_FS_RemoveAllItem", ""},
                                                   {"ID_FS_ScheduleFile", ""},
                                                   {"ID_FS_ShredFile", ""}});

        // Folders.
        Press(window, "Folders");
        Press(window, "Add folder...");
        Press(window, "Subfolder options...");
        HWND folders = ShownControls(window, "ListBox").at(0);
        Choose(folders, "D:\\other dir", false);
        Press(window, "Remove");
        CHECK(Entries(folders) == std::vector<std::string>{"C:\\dir"});
        CHECK(flash.GetVariable("_root.myCounter1") == "1");
        Press(window, "Remove all");
        Press(window, "Schedule...");
        Press(window, "Shred now");
        CHECK(movie.Take() == std::vector<Command>{{"ID_FS_FBrowse", ""},
                                                   {"ID_FS_subFolder", ""},
                                                   {"ID_FS_RemoveFolderItem", "D:\\other dir"},
                                                   {"ID_FS_RemoveAllFolderItem", ""},
                                                   {"ID_FS_ScheduleFolder", ""},
                                                   {"ID_FS_ShredFolder", ""}});

        // Free space: the drive chosen in the list.
        Press(window, "Free space");
        HWND drives = ShownControls(window, "ComboBox").at(0);
        CHECK(Entries(drives, true) == std::vector<std::string>{"C:", "E:"});
        Press(window, "Wipe free space");
        Choose(drives, "E:", true);
        Press(window, "Wipe free space");
        Press(window, "Schedule...");
        CHECK(movie.Take() == std::vector<Command>{{"ID_FS_ShredDrive", "C:"},
                                                   {"ID_FS_ShredDrive", "E:"},
                                                   {"ID_FS_ScheduleDrive", "E:"}});

        // Recycle Bin.
        Press(window, "Recycle Bin");
        Press(window, "Shred Recycle Bin");
        Press(window, "Schedule...");
        CHECK(movie.Take() == std::vector<Command>{{"ID_FS_ShredRecycleBin", ""}, {"ID_FS_ScheduleRecycleBin", ""}});

        // Scheduled tasks: the names the program sends.
        Press(window, "Scheduled tasks");
        flash.SetVariable("_root.myCounter2", "2");
        flash.SetVariable("_root.NamesOfScheduleItems0", "Weekly");
        flash.SetVariable("_root.NamesOfScheduleItems1", "Nightly bin");
        flash.SetVariable("_root.FirstTime", "1");
        HWND tasks = ShownControls(window, "ListBox").at(0);
        CHECK(Entries(tasks) == std::vector<std::string>{"Weekly", "Nightly bin"});
        Choose(tasks, "Nightly bin", false);
        Press(window, "Run now");
        Press(window, "Properties...");
        Press(window, "Delete");
        CHECK(Entries(tasks) == std::vector<std::string>{"Weekly"});
        Press(window, "Delete all");
        CHECK(movie.Take() == std::vector<Command>{{"IDC_FS_GetIn", ""},
                                                   {"ID_FS_runNow", "Nightly bin"},
                                                   {"ID_FS_taskProperties", "Nightly bin"},
                                                   {"ID_FS_RemoveScheduleItem", "Nightly bin"},
                                                   {"ID_FS_RemoveAllSchedule", ""}});

        // Options: the thorough choice carries the pass count; choosing passes means thorough.
        Press(window, "Options");
        HWND quick = Shown(window, "Button", "Quick: one pass of zeroes");
        HWND thorough = Shown(window, "Button", "Thorough: random data, its complement and fresh random data");
        REQUIRE(quick != nullptr);
        REQUIRE(thorough != nullptr);
        Click(thorough);
        Click(quick);
        CHECK(SendMessageA(quick, BM_GETCHECK, 0, 0) == BST_CHECKED);
        HWND passes = ShownControls(window, "ComboBox").at(0);
        Choose(passes, "7", true);
        CHECK(SendMessageA(thorough, BM_GETCHECK, 0, 0) == BST_CHECKED);
        CHECK(SendMessageA(quick, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
        Click(thorough);
        Press(window, "Subfolder options...");
        CHECK(movie.Take() == std::vector<Command>{{"IDC_FS_ThroughShred", "3"},
                                                   {"IDC_FS_QuickShred", ""},
                                                   {"IDC_FS_ThroughShred", "7"},
                                                   {"IDC_FS_ThroughShred", "7"},
                                                   {"ID_FS_subFolder", ""}});

        // Every area: the log, help, about, the title bar's buttons and its drag area.
        Press(window, "View log");
        Press(window, "Help");
        Press(window, "About");
        Press(window, "Minimize");
        Press(window, "Close");
        PostMessageA(GetDlgItem(window, 1060), WM_LBUTTONUP, 0, 0);
        SendMessageA(GetDlgItem(window, 1060), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 8));
        CHECK(movie.Take() == std::vector<Command>{{"ID_FS_viewLog", ""},
                                                   {"ID_FS_Help", ""},
                                                   {"ID_FS_AboutUS", ""},
                                                   {"ID_FS_minimize", ""},
                                                   {"ID_FS_close", ""},
                                                   {"IDC_FS_Drag", ""}});
    });
}

TEST_CASE("the movie follows the program's variables: set-up values, entries, counters and signals")
{
    MovieFixture movie;
    Settings::WriteNumber("Method", 1);
    Settings::WriteNumber("PassCount", 6);
    movie.context.language = "English";
    movie.Run([&](HWND window) {
        MovieHost& flash = movie.Movie();
        Press(window, "Options");
        HWND thorough = Shown(window, "Button", "Thorough: random data, its complement and fresh random data");
        REQUIRE(thorough != nullptr);
        CHECK(SendMessageA(thorough, BM_GETCHECK, 0, 0) == BST_CHECKED);
        std::vector<HWND> combos = ShownControls(window, "ComboBox");
        REQUIRE(combos.size() == 2);
        CHECK(Text(combos[0]) == "6");
        CHECK(Entries(combos[1], true) == std::vector<std::string>{"English"});
        CHECK(Text(combos[1]) == "English");
        flash.SetVariable("_root.repeatNum", "10");
        CHECK(Text(combos[0]) == "10");
        flash.SetVariable("_root.quickShred", "1");
        CHECK(SendMessageA(thorough, BM_GETCHECK, 0, 0) == BST_UNCHECKED);

        // Entries appended on their signal, whole however long; the signal and counter after.
        Press(window, "Files");
        HWND files = ShownControls(window, "ListBox").at(0);
        std::string deep = "C:\\" + std::string(40, 'd') + "\\" + std::string(60, 'e') + "\\report (final).docx";
        flash.SetVariable("_root.NamesOfFileItems", deep);
        flash.SetVariable("_root.newEntry", "1");
        flash.SetVariable("_root.NamesOfFileItems", "C:\\b.txt");
        flash.SetVariable("_root.newEntry", "1");
        CHECK(Entries(files) == std::vector<std::string>{deep, "C:\\b.txt"});
        CHECK(flash.GetVariable("_root.newEntry") == "0");
        CHECK(flash.GetVariable("_root.myCounter") == "2");
        flash.SetVariable("_root.removeFileList", "1");
        flash.SetVariable("_root.myCounter", "0");
        CHECK(Entries(files).empty());
        CHECK(flash.GetVariable("_root.removeFileList") == "0");

        Press(window, "Scheduled tasks");
        HWND tasks = ShownControls(window, "ListBox").at(0);
        flash.SetVariable("_root.myCounter2", "0");
        flash.SetVariable("_root.FirstTime", "1");
        CHECK(Entries(tasks).empty());
        flash.SetVariable("_root.myCounter2", "1");
        flash.SetVariable("_root.NamesOfScheduleItems0", "Weekly");
        CHECK(Entries(tasks).empty());  // not before the list is complete
        flash.SetVariable("_root.FirstTime", "1");
        CHECK(Entries(tasks) == std::vector<std::string>{"Weekly"});
        flash.SetVariable("_root.removeScheduleList", "1");
        CHECK(Entries(tasks).empty());
    });
}

TEST_CASE("a language other than the only one listed shows no choice rather than a wrong one")
{
    MovieFixture movie;
    movie.context.language = "Deutsch";
    movie.Run([&](HWND window) {
        Press(window, "Options");
        std::vector<HWND> combos = ShownControls(window, "ComboBox");
        REQUIRE(combos.size() == 2);
        CHECK(Entries(combos[1], true) == std::vector<std::string>{"English"});
        CHECK(SendMessageA(combos[1], CB_GETCURSEL, 0, 0) == CB_ERR);
    });
}

TEST_CASE("every control that shows takes the focus by Tab, and F1 on the movie opens the help")
{
    MovieFixture movie;
    movie.Run([&](HWND window) {
        for (const char* area : Areas) {
            CAPTURE(area);
            Press(window, area);
            for (HWND control : ShownControls(window)) {
                std::string kind = ClassOf(control);
                if (kind == "Static")
                    continue;
                LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
                if (kind == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX)
                    continue;
                CAPTURE(Text(control));
                bool radio = kind == "Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
                // A radio group takes Tab at its first button and arrows inside.
                CHECK((radio || (style & WS_TABSTOP) != 0));
                CHECK(IsWindowEnabled(control));
            }
        }
        HWND button = Shown(window, "Button", "Files");
        REQUIRE(button != nullptr);
        PostMessageA(button, WM_KEYDOWN, VK_F1, 0);
    });
    CHECK(movie.opener.opened ==
          std::vector<std::string>{movie.installation.Path() + "\\HLP\\VantorShred.chm||" + std::to_string(SW_SHOWMAXIMIZED)});
}

TEST_CASE("Tab reaches every control of the area in hand, one after another, and comes round again")
{
    MovieFixture movie;
    std::vector<HWND> reached;
    std::vector<HWND> tabbable;
    std::string firstFocus;
    std::vector<Step> steps;
    steps.push_back([&](HWND window) {
        for (HWND control : ShownControls(window))
            if (GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP)
                tabbable.push_back(control);
    });
    for (int i = 0; i < 40; ++i) {
        steps.push_back([&](HWND window) {
            HWND focus = GetFocus();
            reached.push_back(focus);
            if (reached.size() == 1)
                firstFocus = WithoutMnemonic(Text(focus));
            PostMessageA(focus ? focus : window, WM_KEYDOWN, VK_TAB, 0);
            PostMessageA(focus ? focus : window, WM_KEYUP, VK_TAB, 0xC0000000);
        });
    }
    steps.push_back([](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
    ScriptResult result = RunScripted(*movie.dialog, steps);
    CHECK_FALSE(result.hung);
    REQUIRE(tabbable.size() == 17);  // the title bar's 2, the areas' 9, the list and the 5 buttons below it
    std::vector<HWND> firstRound(reached.begin(), reached.begin() + 17);
    std::vector<HWND> sorted = firstRound;
    std::sort(sorted.begin(), sorted.end());
    std::vector<HWND> expected = tabbable;
    std::sort(expected.begin(), expected.end());
    CHECK(sorted == expected);
    CHECK(reached[17] == reached[0]);  // round again
    // The default button has the focus first: Enter adds files.
    CHECK(firstFocus == "Add files...");
}

TEST_CASE("no text of the main movie is cut at this display's scale")
{
    MovieFixture movie;
    movie.Run([&](HWND window) {
        RECT client;
        GetClientRect(GetDlgItem(window, 1060), &client);
        for (const char* area : Areas) {
            Press(window, area);
            for (HWND control : ShownControls(window)) {
                std::string kind = ClassOf(control);
                if (kind != "Static" && kind != "Button")
                    continue;
                std::string text = WithoutMnemonic(Text(control));
                if (text.empty())
                    continue;
                CAPTURE(area);
                CAPTURE(text);
                RECT rect;
                GetClientRect(control, &rect);
                HDC dc = GetDC(control);
                HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
                LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
                RECT needed = {0, 0, rect.right, 0};
                if (kind == "Static") {
                    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                    CHECK(needed.bottom <= rect.bottom);
                    CHECK(needed.right <= rect.right);
                } else {
                    SIZE size = {};
                    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
                    LONG_PTR type = style & BS_TYPEMASK;
                    // Room for the push button's edges, or for the radio's circle.
                    int margin = type == BS_AUTORADIOBUTTON ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                                 : type == BS_GROUPBOX      ? 16
                                                            : 8;
                    CHECK(size.cx + margin <= rect.right);
                }
                SelectObject(dc, old);
                ReleaseDC(control, dc);
                RECT onHost;
                GetWindowRect(control, &onHost);
                MapWindowPoints(nullptr, GetDlgItem(window, 1060), reinterpret_cast<POINT*>(&onHost), 2);
                CHECK(onHost.right <= client.right);
                CHECK(onHost.bottom <= client.bottom);
            }
        }
    });
}
