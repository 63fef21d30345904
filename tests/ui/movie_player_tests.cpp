#include "tests/ui/DialogScript.h"
#include "ui/MovieDialog.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace uitest;

namespace {

// A movie window with nothing of its own: it plays a movie and records the commands it sends.
class RecordingDialog : public CMovieDialog {
public:
    explicit RecordingDialog(const char* movie) : CMovieDialog(IDD_WARNING), movie_(movie) {}
    std::vector<std::pair<std::string, std::string>> commands;
    std::vector<int> windowCommands;
    bool fallbackShown = false;
    CShockwaveFlash& Movie() { return m_movie; }
    HWND Host() const { return GetDlgItem(GetSafeHwnd(), 1060); }

protected:
    void OnInitDialog() override { LoadMovie(movie_); }
    void OnFSCommand(const std::string& command, const std::string& args) override
    {
        commands.emplace_back(command, args);
    }
    bool OnCommand(int id) override
    {
        windowCommands.push_back(id);
        return false;
    }
    void ShowFallback() override { fallbackShown = true; }

private:
    const char* movie_;
};

const char* const MainAreas =
    "movie 1 234 82\n"
    "frame 0\n"
    "list 0 0 100 40 value=_root.NamesOfFileItems add=_root.newEntry clear=_root.removeFileList "
    "selected=_root.selectedFile counter=_root.myCounter\n"
    "button 0 42 40 12 text=Remove command=ID_FS_RemoveItem argvar=_root.selectedFile\n"
    "list 110 0 100 40 items=_root.NamesOfScheduleItems count=_root.myCounter2 done=_root.FirstTime "
    "clear=_root.removeScheduleList\n"
    "combo 110 42 50 12 items=_root.drivesCBLabels count=_root.driveCBLength selected=_root.drive\n"
    "button 165 42 40 12 text=Wipe command=ID_FS_ShredDrive argvar=_root.drive once\n"
    "radio 0 60 40 10 text=Quick var=_root.quickShred value=1 group command=IDC_FS_QuickShred\n"
    "radio 45 60 40 10 text=Thorough var=_root.quickShred value=0 command=IDC_FS_ThroughShred "
    "argvar=_root.repeatNum\n"
    "edit 90 60 20 12 var=_root.repeatNum\n"
    "label 120 60 60 10 var=_root.strCurrentLanguage\n"
    "button 190 60 40 12 text=Next goto=1\n"
    "frame 1\n"
    "edit 0 0 100 12 var=_root.taskName\n"
    "button 190 60 40 12 text=Back goto=0\n";

std::vector<std::string> Entries(HWND list)
{
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The movie controls of one window class, in the movie's order.
std::vector<HWND> Controls(HWND host, const char* className)
{
    std::vector<HWND> controls;
    for (int id = 20000; id < 20100; ++id) {
        HWND control = GetDlgItem(host, id);
        char name[32] = {};
        if (control && GetClassNameA(control, name, sizeof(name)) && lstrcmpiA(name, className) == 0)
            controls.push_back(control);
    }
    return controls;
}

// What a user's choice in a list or combo box tells its parent.
void Choose(HWND control, int index, bool combo)
{
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageA(GetParent(control), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
}

bool Shown(HWND control)
{
    return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

struct PlayingMovie {
    explicit PlayingMovie(const std::string& text)
    {
        installation.WriteMovie("test.swf", text);
        REQUIRE(dialog.Create(nullptr));
        ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
        REQUIRE_FALSE(dialog.fallbackShown);
    }
    Installation installation;
    RecordingDialog dialog{"test.swf"};
};

}  // namespace

TEST_CASE("a list appends on its signal, consumes the signal and clears on another")
{
    PlayingMovie movie(MainAreas);
    CShockwaveFlash& flash = movie.dialog.Movie();
    HWND files = Controls(movie.dialog.Host(), "ListBox").at(0);

    flash.SetVariable("_root.NamesOfFileItems", "C:\\My Files\\a b.txt");
    CHECK(Entries(files).empty());  // the value alone adds nothing
    flash.SetVariable("_root.newEntry", "1");
    flash.SetVariable("_root.NamesOfFileItems", "D:\\second");
    flash.SetVariable("_root.newEntry", "1");
    CHECK(Entries(files) == std::vector<std::string>{"C:\\My Files\\a b.txt", "D:\\second"});
    CHECK(flash.GetVariable("_root.newEntry") == "0");
    CHECK(flash.GetVariable("_root.myCounter") == "2");
    flash.SetVariable("_root.newEntry", "0");
    CHECK(Entries(files).size() == 2);

    Choose(files, 1, false);
    CHECK(flash.GetVariable("_root.selectedFile") == "D:\\second");
    Click(MovieControl(movie.dialog.GetSafeHwnd(), "Remove"));
    REQUIRE(movie.dialog.commands.size() == 1);
    CHECK(movie.dialog.commands[0].first == "ID_FS_RemoveItem");
    CHECK(movie.dialog.commands[0].second == "D:\\second");

    flash.SetVariable("_root.removeFileList", "1");
    CHECK(Entries(files).empty());
    CHECK(flash.GetVariable("_root.removeFileList") == "0");
    CHECK(flash.GetVariable("_root.selectedFile").empty());
}

TEST_CASE("a button signals its own list to drop the selected entry after taking it as its argument")
{
    PlayingMovie movie(
        "movie 1 234 82\n"
        "list 0 0 100 40 value=_root.v add=_root.a selected=_root.s drop=_root.d counter=_root.n ellipsis=path\n"
        "button 0 42 40 12 text=Remove command=ID_X argvar=_root.s set=_root.d=1\n");
    CShockwaveFlash& flash = movie.dialog.Movie();
    HWND list = Controls(movie.dialog.Host(), "ListBox").at(0);
    CHECK((GetWindowLongPtrA(list, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS)) ==
          (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS));
    std::string deep = "C:\\" + std::string(80, 'd') + "\\" + std::string(80, 'e') + "\\last part.txt";
    for (const std::string& entry : {std::string("C:\\one"), deep, std::string("C:\\three")}) {
        flash.SetVariable("_root.v", entry);
        flash.SetVariable("_root.a", "1");
    }
    CHECK(Entries(list) == std::vector<std::string>{"C:\\one", deep, "C:\\three"});  // whole, however long
    CHECK(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0) > 0);

    HWND remove = MovieControl(movie.dialog.GetSafeHwnd(), "Remove");
    Click(remove);  // nothing selected: nothing dropped
    Choose(list, 1, false);
    Click(remove);
    CHECK(movie.dialog.commands == std::vector<std::pair<std::string, std::string>>{{"ID_X", ""}, {"ID_X", deep}});
    CHECK(Entries(list) == std::vector<std::string>{"C:\\one", "C:\\three"});
    CHECK(flash.GetVariable("_root.n") == "2");
    CHECK(flash.GetVariable("_root.s").empty());
    CHECK(flash.GetVariable("_root.d") == "0");
}

TEST_CASE("a combo of fixed choices: chosen exactly by the program, its choice a command and a setting")
{
    PlayingMovie movie(
        "movie 1 234 82\n"
        "combo 0 0 40 12 choices=\"1 2 10\" selected=_root.p command=IDC_P set=_root.q=0\n"
        "radio 50 0 40 10 text=Quick var=_root.q value=1 group\n"
        "radio 50 12 40 10 text=Thorough var=_root.q value=0\n"
        "combo 100 0 60 12 items=_root.l count=_root.c selected=_root.s\n");
    CShockwaveFlash& flash = movie.dialog.Movie();
    std::vector<HWND> combos = Controls(movie.dialog.Host(), "ComboBox");
    REQUIRE(combos.size() == 2);
    HWND passes = combos[0];
    CHECK(SendMessageA(passes, CB_GETCOUNT, 0, 0) == 3);
    CHECK(SendMessageA(passes, CB_GETCURSEL, 0, 0) == CB_ERR);
    flash.SetVariable("_root.p", "10");
    CHECK(SendMessageA(passes, CB_GETCURSEL, 0, 0) == 2);
    flash.SetVariable("_root.p", "1");
    CHECK(SendMessageA(passes, CB_GETCURSEL, 0, 0) == 0);
    flash.SetVariable("_root.p", "3");  // no such entry: none, not the nearest
    CHECK(SendMessageA(passes, CB_GETCURSEL, 0, 0) == CB_ERR);
    CHECK(movie.dialog.commands.empty());

    flash.SetVariable("_root.q", "1");
    Choose(passes, 1, true);
    CHECK(flash.GetVariable("_root.p") == "2");
    CHECK(flash.GetVariable("_root.q") == "0");
    CHECK(SendMessageA(MovieControl(movie.dialog.GetSafeHwnd(), "Thorough"), BM_GETCHECK, 0, 0) == BST_CHECKED);
    CHECK(movie.dialog.commands == std::vector<std::pair<std::string, std::string>>{{"IDC_P", "2"}});

    // An entry that only begins like the value is not chosen.
    flash.SetVariable("_root.c", "1");
    flash.SetVariable("_root.l0", "English");
    flash.SetVariable("_root.s", "Eng");
    CHECK(SendMessageA(combos[1], CB_GETCURSEL, 0, 0) == CB_ERR);
    flash.SetVariable("_root.s", "English");
    CHECK(SendMessageA(combos[1], CB_GETCURSEL, 0, 0) == 0);
}

TEST_CASE("a button bound to a window command sends it to the window, not to the movie's listeners")
{
    PlayingMovie movie("movie 1 234 82\nbutton 4 4 40 12 text=Help id=9\n");
    Click(MovieControl(movie.dialog.GetSafeHwnd(), "Help"));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    CHECK(movie.dialog.commands.empty());
    CHECK(std::count(movie.dialog.windowCommands.begin(), movie.dialog.windowCommands.end(), 9) == 1);
}

TEST_CASE("indexed lists fill from the count and items when their completion signal comes")
{
    PlayingMovie movie(MainAreas);
    CShockwaveFlash& flash = movie.dialog.Movie();
    HWND tasks = Controls(movie.dialog.Host(), "ListBox").at(1);

    flash.SetVariable("_root.myCounter2", "2");
    flash.SetVariable("_root.NamesOfScheduleItems0", "Nightly");
    flash.SetVariable("_root.NamesOfScheduleItems1", "Weekly");
    CHECK(Entries(tasks).empty());
    flash.SetVariable("_root.FirstTime", "1");
    CHECK(Entries(tasks) == std::vector<std::string>{"Nightly", "Weekly"});
    CHECK(flash.GetVariable("_root.FirstTime") == "0");

    flash.SetVariable("_root.myCounter2", "0");
    flash.SetVariable("_root.FirstTime", "1");
    CHECK(Entries(tasks).empty());

    // A count beyond the items sent shows the items there are.
    flash.SetVariable("_root.myCounter2", "5");
    flash.SetVariable("_root.FirstTime", "1");
    CHECK(Entries(tasks) == std::vector<std::string>{"Nightly", "Weekly"});
    flash.SetVariable("_root.removeScheduleList", "1");
    CHECK(Entries(tasks).empty());
}

TEST_CASE("a combo box fills from indexed variables and its choice becomes a command's argument")
{
    PlayingMovie movie(MainAreas);
    CShockwaveFlash& flash = movie.dialog.Movie();
    HWND drives = Controls(movie.dialog.Host(), "ComboBox").at(0);

    flash.SetVariable("_root.driveCBLength", "2");
    flash.SetVariable("_root.drivesCBLabels0", "C:");
    flash.SetVariable("_root.drivesCBLabels1", "E:");
    CHECK(SendMessageA(drives, CB_GETCOUNT, 0, 0) == 2);
    CHECK(flash.GetVariable("_root.drive") == "C:");
    Choose(drives, 1, true);
    CHECK(flash.GetVariable("_root.drive") == "E:");

    HWND wipe = MovieControl(movie.dialog.GetSafeHwnd(), "Wipe");
    Click(wipe);
    CHECK_FALSE(IsWindowEnabled(wipe));  // pressed once
    Click(wipe);
    REQUIRE(movie.dialog.commands.size() == 1);
    CHECK(movie.dialog.commands[0] == std::make_pair(std::string("ID_FS_ShredDrive"), std::string("E:")));
}

TEST_CASE("radio buttons, edit fields and labels follow their variables both ways")
{
    PlayingMovie movie(MainAreas);
    CShockwaveFlash& flash = movie.dialog.Movie();
    HWND window = movie.dialog.GetSafeHwnd();
    HWND quick = MovieControl(window, "Quick");
    HWND thorough = MovieControl(window, "Thorough");

    flash.SetVariable("_root.quickShred", "1");
    CHECK(SendMessageA(quick, BM_GETCHECK, 0, 0) == BST_CHECKED);
    CHECK(SendMessageA(thorough, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    CHECK(movie.dialog.commands.empty());  // set by the program: no command

    flash.SetVariable("_root.repeatNum", "3");
    HWND passes = MovieControl(window, "3", "Edit");
    REQUIRE(passes != nullptr);
    SetWindowTextA(passes, "7");  // the user types
    CHECK(flash.GetVariable("_root.repeatNum") == "7");

    Click(thorough);
    CHECK(flash.GetVariable("_root.quickShred") == "0");
    CHECK(SendMessageA(quick, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    REQUIRE(movie.dialog.commands.size() == 1);
    CHECK(movie.dialog.commands[0] == std::make_pair(std::string("IDC_FS_ThroughShred"), std::string("7")));

    flash.SetVariable("_root.strCurrentLanguage", "English");
    CHECK(MovieControl(window, "English", "Static") != nullptr);
    CHECK(flash.GetVariable("_root.neverSet").empty());
}

TEST_CASE("frames choose which elements show, from the movie and from the program")
{
    PlayingMovie movie(MainAreas);
    HWND window = movie.dialog.GetSafeHwnd();
    HWND next = MovieControl(window, "Next");
    HWND back = MovieControl(window, "Back");
    HWND task = Controls(movie.dialog.Host(), "Edit").at(1);
    CHECK(Shown(next));
    CHECK_FALSE(Shown(back));
    CHECK_FALSE(Shown(task));

    Click(next);
    CHECK_FALSE(Shown(next));
    CHECK(Shown(back));
    CHECK(Shown(task));
    CHECK(movie.dialog.commands.empty());

    movie.dialog.Movie().GotoFrame(0);
    CHECK(Shown(next));
    CHECK_FALSE(Shown(task));
    // A frame the movie does not have shows only what every frame shows.
    movie.dialog.Movie().GotoFrame(42);
    CHECK_FALSE(Shown(next));
    CHECK_FALSE(Shown(back));
}

TEST_CASE("a movie that cannot be played leaves the host empty and says so")
{
    Installation installation;
    for (const char* text : {"", "movie 1 10 10\nbutton 0 0 5 5 text=x\n"}) {
        INFO("movie: " << std::string(text));
        installation.WriteMovie("test.swf", text);
        RecordingDialog dialog("test.swf");
        REQUIRE(dialog.Create(nullptr));
        CHECK(dialog.fallbackShown);
        CHECK(dialog.Movie().GetReadyState() == 0);
        CHECK(GetWindow(dialog.Host(), GW_CHILD) == nullptr);
        // The host takes calls as an empty movie would.
        dialog.Movie().SetVariable("_root.a", "1");
        dialog.Movie().GotoFrame(3);
        CHECK(dialog.Movie().GetVariable("_root.a") == "1");
    }
    RecordingDialog missing("absent.swf");
    REQUIRE(missing.Create(nullptr));
    CHECK(missing.fallbackShown);
}

TEST_CASE("a stage smaller than its window is placed by the alignment, or stretched by the scale")
{
    PlayingMovie movie("movie 1 117 41\nbutton 0 0 117 41 text=B command=X\n");
    HWND host = movie.dialog.Host();
    HWND button = MovieControl(movie.dialog.GetSafeHwnd(), "B");
    REQUIRE(button != nullptr);
    RECT client;
    GetClientRect(host, &client);
    auto placement = [&] {
        RECT rect;
        GetWindowRect(button, &rect);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    CShockwaveFlash& flash = movie.dialog.Movie();

    // As every movie window sets it: no scaling, aligned left, centred from top to bottom.
    RECT rect = placement();
    CHECK(rect.left == 0);
    CHECK(std::abs(2 * (rect.right - rect.left) - client.right) <= 2);
    CHECK(std::abs(rect.top - (client.bottom - rect.bottom)) <= 1);

    flash.SetAlignMode(2 | 8);  // right and bottom
    rect = placement();
    CHECK(rect.right == client.right);
    CHECK(rect.bottom == client.bottom);

    flash.SetScale("ExactFit");
    rect = placement();
    CHECK(rect.left == 0);
    CHECK(rect.top == 0);
    CHECK(std::abs(rect.right - client.right) <= 1);
    CHECK(std::abs(rect.bottom - client.bottom) <= 1);
}
