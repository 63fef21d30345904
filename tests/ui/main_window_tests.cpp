// The real main window with a recording movie host in place of its movie: what set-up tells the
// movie, what each command of the table does and tells it, and what the window refuses while a
// run pumps messages.
#include "app/ShredApp.h"
#include "common/Settings.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/MainWindowFakes.h"
#include "ui/MainDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

#include <cstring>

using namespace uitest;

namespace {

class TestMainDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    using CMainDlg::OnFSCommand;
    using CMainDlg::Commands;
};

struct MainFixture {
    Installation installation;
    test::ScriptedChannel channel;
    ShredContext context;
    RecordingMovie movie;
    ScriptedDialogs dialogs;
    RecordingShredders shredders;
    RecordingOpener opener;
    std::unique_ptr<TestMainDlg> dialog;

    MainFixture()
    {
        installation.CopyMovie("skin.skn");
        context.appPath = test::DistFolder();  // the English texts
        context.title = "Vantor Shredder";
        context.channel = &channel;
        context.AllocateTransferBuffer();
        std::memcpy(context.machine.drives[2].root, "C:\\", 4);
        std::memcpy(context.machine.drives[4].root, "E:\\", 4);
        MainWindowSeams seams;
        seams.shredders = &shredders;
        seams.dialogs = &dialogs;
        seams.opener = &opener;
        seams.movie = &movie;
        dialog.reset(new TestMainDlg(context, seams));
    }

    // Runs the window; `body` runs once it shows, then the window is closed unless `body` closed it.
    ScriptResult Run(const std::function<void(HWND window)>& body)
    {
        return RunScripted(*dialog, {
            [&](HWND window) { body(window); },
            [&](HWND) { dialog->OnFSCommand("ID_FS_close", ""); },
        });
    }
    void Command(const std::string& name, const std::string& args = std::string())
    {
        dialog->OnFSCommand(name, args);
    }
    std::string Text(int key) const { return context.LookupText(key); }
    std::vector<std::string> QuestionTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
};

}  // namespace

TEST_CASE("set-up loads the main movie, then tells it the counters, settings, languages and drives")
{
    MainFixture main;
    main.context.language = "Deutsch";
    Settings::WriteNumber("Method", 1);
    Settings::WriteNumber("PassCount", 0);
    HWND shown = nullptr;
    bool parentSet = false, mainSet = false, hasIcons = false;
    std::string aboutEntry;
    UINT aboutId = 0;
    ScriptResult result = main.Run([&](HWND window) {
        shown = window;
        parentSet = main.context.parentWindow == window;
        mainSet = MainWindow() == window;
        hasIcons = SendMessageA(window, WM_GETICON, ICON_BIG, 0) && SendMessageA(window, WM_GETICON, ICON_SMALL, 0);
        HMENU menu = GetSystemMenu(window, FALSE);
        int count = GetMenuItemCount(menu);
        char text[128] = "";
        GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
        aboutEntry = text;
        aboutId = GetMenuItemID(menu, count - 1);
    });
    CHECK_FALSE(result.hung);
    CHECK(result.ending == 0);
    std::vector<std::string> expected = {
        "Movie=" + main.installation.Path() + "\\Skin\\VantorShredder.swf",
        "Scale=NoScale",
        "Align=1",
        "Background=15330028",
        "_root.myCounter=0",
        "_root.myCounter1=0",
        "_root.quickShred=0",
        "_root.repeatNum=3",
        "_root.languageCBLength=1",
        "_root.languageCBLabels0=English",
        "_root.strCurrentLanguage=Deutsch",
        "_root.driveCBLength=2",
        "_root.drivesCBLabels0=C:",
        "_root.drivesCBLabels1=E:",
    };
    CHECK(main.movie.calls == expected);
    CHECK(Settings::ReadNumber("PassCount", -1) == 3);
    CHECK(Settings::ReadNumber("Method", -1) == 1);
    CHECK(parentSet);
    CHECK(mainSet);
    CHECK(hasIcons);
    CHECK(aboutEntry == "&About Vantor Shredder");
    CHECK(aboutId == 16);
    // Closed: neither the engine's parent nor the application's main window any more.
    CHECK(main.context.parentWindow == nullptr);
    CHECK(MainWindow() == nullptr);
    CHECK_FALSE(IsWindow(shown));
}

TEST_CASE("the drive list is the drives of the start-up's drive table: those the prefix maps")
{
    // Every drive link of the test prefix is a folder: a fixed drive to the program.
    char prefix[MAX_PATH] = "";
    REQUIRE(GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) > 0);
    std::string devices = "Z:" + std::string(prefix) + "/dosdevices/";
    for (char& ch : devices)
        if (ch == '/')
            ch = '\\';
    std::vector<std::string> mapped;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        std::string link = devices + letter + ":";
        if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES)
            mapped.push_back(std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":");
    }
    REQUIRE_FALSE(mapped.empty());

    MainFixture main;
    ShredApp app;
    test::ScriptedChannel channel;
    app.context.channel = &channel;
    app.components = &test::Installed();
    REQUIRE(app.InitInstance(""));
    MainWindowSeams seams;
    seams.movie = &main.movie;
    TestMainDlg dialog(app.context, seams);
    RunScripted(dialog, {[&](HWND) { dialog.OnFSCommand("ID_FS_close", ""); }});
    std::vector<std::string> offered;
    int count = std::atoi(main.movie.variables["_root.driveCBLength"].c_str());
    for (int i = 0; i < count; ++i)
        offered.push_back(main.movie.variables["_root.drivesCBLabels" + std::to_string(i)]);
    CHECK(offered == mapped);
}

TEST_CASE("the table holds the commands in their order")
{
    MainFixture main;
    std::vector<std::string> names;
    auto table = main.dialog->Commands();
    for (size_t i = 0; i < table.count; ++i)
        if (table.rows[i].movieCommand)
            names.push_back(table.rows[i].movieCommand);
    CHECK(names == std::vector<std::string>{
                       "ID_FS_close", "ID_FS_minimize", "ID_FS_Help", "IDC_FS_Drag", "ID_FS_AboutUS",
                       "IDC_FS_QuickShred", "IDC_FS_ThroughShred", "ID_FS_Browse", "ID_FS_RemoveItem",
                       "ID_FS_RemoveAllItem", "ID_FS_ScheduleFile", "ID_FS_ShredFile", "ID_FS_FBrowse",
                       "ID_FS_RemoveFolderItem", "ID_FS_RemoveAllFolderItem", "ID_FS_ScheduleFolder",
                       "ID_FS_ShredFolder", "ID_FS_ShredRecycleBin", "ID_FS_ScheduleRecycleBin", "ID_FS_ShredDrive",
                       "ID_FS_ScheduleDrive", "IDC_FS_GetIn", "ID_FS_RemoveAllSchedule", "ID_FS_RemoveScheduleItem",
                       "ID_FS_viewLog", "ID_FS_runNow", "ID_FS_taskProperties", "ID_FS_subFolder"});
}

TEST_CASE("close matches in any letter case and only the whole name; the window's own Cancel is no close")
{
    for (const char* name : {"id_fs_close", "ID_FS_CLOSE", "Id_Fs_Close"}) {
        CAPTURE(name);
        MainFixture main;
        bool stayedForOthers = false;
        ScriptResult result = RunScripted(*main.dialog, {
            [&](HWND window) {
                for (const char* other : {"ID_FS_close ", " ID_FS_close", "ID_FS_clos", "ID_FS_closeX", ""})
                    main.Command(other);
                SendMessageA(window, WM_COMMAND, IDCANCEL, 0);  // Escape
                stayedForOthers = IsWindow(window) && IsWindowVisible(window);
                main.Command(name);
            },
        });
        CHECK(stayedForOthers);
        CHECK_FALSE(result.hung);
        CHECK(result.ending == 0);
    }
    // The system menu's Close.
    MainFixture main;
    ScriptResult result = RunScripted(*main.dialog, {[](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }});
    CHECK_FALSE(result.hung);
    CHECK(result.ending == 0);
}

TEST_CASE("commands of no row, and the scheduling ones without a front end, change nothing")
{
    MainFixture main;
    main.dialog->m_page2.files.Append("C:\\a.txt");
    main.dialog->m_page3.folders.Append("C:\\dir");
    size_t mark = 0;
    main.Run([&](HWND) {
        mark = main.movie.calls.size();
        for (const char* name :
             {"ID_FS_ScheduleFile", "ID_FS_ScheduleFolder", "ID_FS_ScheduleRecycleBin", "ID_FS_ScheduleDrive",
              "IDC_FS_GetIn", "ID_FS_RemoveAllSchedule", "ID_FS_RemoveScheduleItem", "ID_FS_runNow",
              "ID_FS_taskProperties", "ID_FS_Remove", "ID_FS_Shred", "ID_FS_ok", "FSCommand:quit"})
            main.Command(name, "C:\\a.txt");
    });
    CHECK(main.movie.Since(mark).empty());
    CHECK(main.channel.questions.empty());
    CHECK(main.shredders.calls.empty());
    CHECK(main.dialogs.owners.empty());
    CHECK(main.opener.opened.empty());
    CHECK(main.dialog->m_page2.files.Count() == 1);
    CHECK(main.dialog->m_page3.folders.Count() == 1);
}

TEST_CASE("minimise, help by command, by message 1227 and by the help key, the log")
{
    MainFixture main;
    bool iconic = false;
    main.Run([&](HWND window) {
        main.Command("ID_FS_minimize");
        iconic = IsIconic(window) != FALSE;
        ShowWindow(window, SW_RESTORE);
        main.Command("ID_FS_Help");
        SendMessageA(window, WM_SHRED_HELP, 0, 0);
        HELPINFO help = {};
        help.cbSize = sizeof(help);
        SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        main.Command("id_fs_viewlog");
    });
    CHECK(iconic);
    std::string chm = main.installation.Path() + "\\HLP\\VantorShred.chm||" + std::to_string(SW_SHOWMAXIMIZED);
    CHECK(main.opener.opened == std::vector<std::string>{chm, chm, chm,
                                                          main.installation.Path() + "\\log.txt|" +
                                                              main.installation.Path() + "|" +
                                                              std::to_string(SW_SHOWNORMAL)});
}

TEST_CASE("the about dialog opens from its command and from the system menu")
{
    for (bool fromMenu : {false, true}) {
        CAPTURE(fromMenu);
        MainFixture main;
        main.installation.CopyMovie("aboutAs.swf");
        bool aboutShown = false, mainDisabled = false;
        ScriptResult result = RunScripted(*main.dialog, {
            [&](HWND window) {
                if (fromMenu)
                    PostMessageA(window, WM_SYSCOMMAND, 16, 0);
                else
                    main.Command("ID_FS_AboutUS");  // returns when the about dialog has closed
            },
            [&](HWND window) {
                aboutShown = GetDlgItem(window, IDC_ABOUT_NAME) != nullptr;
                mainDisabled = main.context.parentWindow && !IsWindowEnabled(main.context.parentWindow);
                PostMessageA(window, WM_COMMAND, IDOK, 0);
            },
            [&](HWND window) {
                CHECK(window == main.context.parentWindow);
                main.Command("ID_FS_close");
            },
        });
        CHECK_FALSE(result.hung);
        CHECK(aboutShown);
        CHECK(mainDisabled);
        CHECK(result.ending == 0);
    }
}

TEST_CASE("the method commands: quick stores 0; thorough stores 1 and the corrected pass count")
{
    MainFixture main;
    size_t mark = 0;
    std::vector<std::string> afterNothing, after25, afterMinus, afterSeven;
    int methodAfterNothing = -1;
    main.Run([&](HWND) {
        mark = main.movie.calls.size();
        for (const char* nothing : {"0", "", "abc"})
            main.Command("IDC_FS_ThroughShred", nothing);
        afterNothing = main.movie.Since(mark);
        methodAfterNothing = Settings::ReadNumber("Method", -1);
        mark = main.movie.calls.size();
        main.Command("IDC_FS_ThroughShred", "25");
        after25 = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("IDC_FS_QuickShred");
        main.Command("idc_fs_throughshred", "-2");
        afterMinus = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("IDC_FS_ThroughShred", "7");
        afterSeven = main.movie.Since(mark);
    });
    CHECK(afterNothing.empty());
    CHECK(methodAfterNothing == -1);
    CHECK(after25 == std::vector<std::string>{"_root.repeatNum=10"});
    CHECK(afterMinus == std::vector<std::string>{"_root.repeatNum=1"});
    CHECK(afterSeven == std::vector<std::string>{"_root.repeatNum=7"});
    CHECK(main.QuestionTexts() == std::vector<std::string>{main.Text(9020), main.Text(9020)});
    CHECK(main.channel.questions[0].style == WarningStyle::Error);
    CHECK(Settings::ReadNumber("Method", -1) == 1);
    CHECK(Settings::ReadNumber("PassCount", -1) == 7);

    MainFixture again;
    again.Run([&](HWND) {
        size_t before = again.movie.calls.size();
        again.Command("IDC_FS_QuickShred", "5");
        CHECK(again.movie.Since(before).empty());
    });
    CHECK(Settings::ReadNumber("Method", -1) == 0);
}

TEST_CASE("a browse announces every file it added, value before signal; nothing when it added none")
{
    MainFixture main;
    main.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\My Files\\a b.txt", "C:\\c.txt", "C:\\d.txt"}});
    main.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\c.txt"}});
    main.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\e.txt", "C:\\c.txt"}});
    std::vector<std::string> first, second, third, cancelled;
    main.Run([&](HWND window) {
        size_t mark = main.movie.calls.size();
        main.Command("ID_FS_Browse");
        first = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_Browse");
        second = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_Browse");
        third = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_Browse");
        cancelled = main.movie.Since(mark);
        CHECK(main.dialogs.owners.front() == window);
    });
    CHECK(first == std::vector<std::string>{"_root.NamesOfFileItems=C:\\My Files\\a b.txt", "_root.newEntry=1",
                                            "_root.NamesOfFileItems=C:\\c.txt", "_root.newEntry=1",
                                            "_root.NamesOfFileItems=C:\\d.txt", "_root.newEntry=1"});
    CHECK(second.empty());
    CHECK(third == std::vector<std::string>{"_root.NamesOfFileItems=C:\\e.txt", "_root.newEntry=1"});
    CHECK(cancelled.empty());
    CHECK(main.dialog->m_page2.files.Entries() ==
          std::vector<std::string>{"C:\\My Files\\a b.txt", "C:\\c.txt", "C:\\d.txt", "C:\\e.txt"});
}

TEST_CASE("removing one entry: found exactly, removed quietly; else the notice of its list")
{
    MainFixture main;
    main.dialog->m_page2.files.Append("C:\\a.txt");
    main.dialog->m_page2.files.Append("C:\\b.txt");
    main.dialog->m_page3.folders.Append("C:\\dir");
    size_t mark = 0;
    main.Run([&](HWND) {
        mark = main.movie.calls.size();
        main.Command("ID_FS_RemoveItem", "C:\\A.txt");
        main.Command("ID_FS_RemoveItem", "C:\\b.txt");
        main.Command("ID_FS_RemoveItem", "");
        main.Command("ID_FS_RemoveFolderItem", "C:\\dir\\");
        main.Command("ID_FS_RemoveFolderItem", "C:\\dir");
    });
    CHECK(main.movie.Since(mark).empty());
    CHECK(main.dialog->m_page2.files.Entries() == std::vector<std::string>{"C:\\a.txt"});
    CHECK(main.dialog->m_page3.folders.Empty());
    CHECK(main.QuestionTexts() == std::vector<std::string>{main.Text(9018), main.Text(9018), main.Text(9025)});
    CHECK(main.channel.questions[0].style == WarningStyle::Notice);
}

TEST_CASE("remove-all and shred-now reset the movie's list after success only: signal, then counter")
{
    MainFixture main;
    main.shredders.existing = {{"C:\\a.txt", FILE_ATTRIBUTE_ARCHIVE}, {"C:\\dir", FILE_ATTRIBUTE_DIRECTORY}};
    std::vector<std::string> emptyOnes, declined, removed, shredFiles, shredFolders;
    main.Run([&](HWND) {
        size_t mark = main.movie.calls.size();
        main.Command("ID_FS_RemoveAllItem");
        main.Command("ID_FS_RemoveAllFolderItem");
        main.Command("ID_FS_ShredFile");
        main.Command("ID_FS_ShredFolder");
        emptyOnes = main.movie.Since(mark);

        main.dialog->m_page2.files.Append("C:\\a.txt");
        main.dialog->m_page3.folders.Append("C:\\dir");
        main.channel.answers = {Answer::Cancel, Answer::Cancel, Answer::Cancel, Answer::Cancel};
        mark = main.movie.calls.size();
        main.Command("ID_FS_RemoveAllItem");
        main.Command("ID_FS_RemoveAllFolderItem");
        main.Command("ID_FS_ShredFile");
        main.Command("ID_FS_ShredFolder");
        declined = main.movie.Since(mark);

        mark = main.movie.calls.size();
        main.Command("ID_FS_RemoveAllItem");
        main.Command("ID_FS_RemoveAllFolderItem");
        removed = main.movie.Since(mark);

        main.dialog->m_page2.files.Append("C:\\a.txt");
        main.dialog->m_page3.folders.Append("C:\\dir");
        mark = main.movie.calls.size();
        main.Command("ID_FS_ShredFile");
        shredFiles = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_ShredFolder");
        shredFolders = main.movie.Since(mark);
    });
    CHECK(emptyOnes.empty());
    CHECK(declined.empty());
    CHECK(removed == std::vector<std::string>{"_root.removeFileList=1", "_root.myCounter=0",
                                              "_root.removeFolderList=1", "_root.myCounter1=0"});
    CHECK(shredFiles == std::vector<std::string>{"_root.removeFileList=1", "_root.myCounter=0"});
    CHECK(shredFolders == std::vector<std::string>{"_root.removeFolderList=1", "_root.myCounter1=0"});
    CHECK(main.shredders.calls == std::vector<std::string>{"file:full:C:\\a.txt", "folder:full:C:\\dir",
                                                           "removed-if-empty:C:\\dir"});
    std::vector<std::string> questions = main.QuestionTexts();
    questions.resize(4);
    CHECK(questions == std::vector<std::string>{main.Text(9068), main.Text(9069), main.Text(9021), main.Text(9022)});
}

TEST_CASE("folder browse, Recycle Bin, drive and subfolder commands reach their pages")
{
    MainFixture main;
    main.dialogs.folders = {"C:\\My Folder", "C:\\My Folder"};
    main.dialogs.subfolderAnswers = {{2, 1}};
    Settings::WriteNumber("Folder", 1);
    std::vector<std::string> firstBrowse, secondBrowse, others;
    main.Run([&](HWND) {
        size_t mark = main.movie.calls.size();
        main.Command("ID_FS_FBrowse");
        firstBrowse = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_FBrowse");
        secondBrowse = main.movie.Since(mark);
        mark = main.movie.calls.size();
        main.Command("ID_FS_ShredRecycleBin");
        main.Command("ID_FS_ShredDrive", "E:");
        main.Command("ID_FS_ShredDrive", "D:");  // not offered
        main.Command("ID_FS_subFolder");
        others = main.movie.Since(mark);
    });
    CHECK(firstBrowse == std::vector<std::string>{"_root.NamesOfFolderItems=C:\\My Folder", "_root.newFEntry=1"});
    CHECK(secondBrowse.empty());
    CHECK(others.empty());
    CHECK(main.shredders.calls == std::vector<std::string>{"bin", "wipe:E:\\"});
    REQUIRE(main.dialogs.subfolderShown.size() == 1);
    CHECK(main.dialogs.subfolderShown[0].contents == 1);
    CHECK(Settings::ReadNumber("Folder", -1) == 2);
    CHECK(Settings::ReadNumber("Remove", -1) == 1);
}

TEST_CASE("the schedule commands reach the front end with the window disabled; the list resets follow them")
{
    MainFixture main;
    RecordingSchedule schedule;
    MainWindowSeams seams;
    seams.movie = &main.movie;
    seams.schedule = &schedule;
    TestMainDlg dialog(main.context, seams);
    dialog.m_page2.files.Append("C:\\a.txt");
    dialog.m_page3.folders.Append("C:\\dir");
    std::vector<std::string> emptied, kept, others;
    bool enabledAfter = false;
    RunScripted(dialog, {[&](HWND window) {
        schedule.window = window;
        size_t mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_ScheduleFile", "");
        dialog.OnFSCommand("ID_FS_ScheduleFolder", "");
        emptied = main.movie.Since(mark);
        schedule.listsEmptied = false;
        dialog.m_page2.files.Append("C:\\b.txt");
        mark = main.movie.calls.size();
        dialog.OnFSCommand("id_fs_schedulefile", "");
        dialog.OnFSCommand("ID_FS_ScheduleFolder", "");  // an empty list: the front end says so
        kept = main.movie.Since(mark);
        mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_ScheduleDrive", "C:");
        dialog.OnFSCommand("ID_FS_ScheduleRecycleBin", "");
        others = main.movie.Since(mark);
        enabledAfter = IsWindowEnabled(window) != FALSE;
        dialog.OnFSCommand("ID_FS_close", "");
    }});
    CHECK(schedule.calls == std::vector<std::string>{"files:1", "folders:1", "files:1", "folders:0", "drive:C:", "bin"});
    CHECK(schedule.windowEnabled == std::vector<bool>(6, false));
    CHECK(enabledAfter);
    CHECK(emptied == std::vector<std::string>{"_root.removeFileList=1", "_root.myCounter=0", "_root.removeFolderList=1",
                                              "_root.myCounter1=0"});
    CHECK(kept.empty());
    CHECK(others.empty());
    CHECK(dialog.m_page2.files.Count() == 1);
}

TEST_CASE("the schedule list: shown as read, looked up by exact name, and shown anew when the front end read it again")
{
    MainFixture main;
    RecordingSchedule schedule;
    MainWindowSeams seams;
    seams.movie = &main.movie;
    seams.schedule = &schedule;
    TestMainDlg dialog(main.context, seams);
    std::vector<std::string> emptyList, shown, notFound, acted, reloaded, allDeleted, allDeclined;
    RunScripted(dialog, {[&](HWND window) {
        schedule.window = window;
        size_t mark = main.movie.calls.size();
        dialog.OnFSCommand("IDC_FS_GetIn", "");
        emptyList = main.movie.Since(mark);

        schedule.tasks = {{"Weekly", 3}, {"Nightly files", 5}};
        mark = main.movie.calls.size();
        dialog.OnFSCommand("IDC_FS_GetIn", "");
        shown = main.movie.Since(mark);

        mark = main.movie.calls.size();
        for (const char* command : {"ID_FS_runNow", "ID_FS_taskProperties", "ID_FS_RemoveScheduleItem"})
            dialog.OnFSCommand(command, "weekly");  // letter case makes another name
        notFound = main.movie.Since(mark);

        mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_runNow", "Nightly files");
        dialog.OnFSCommand("ID_FS_taskProperties", "Weekly");
        acted = main.movie.Since(mark);

        schedule.change = TaskListChange::Reloaded;
        schedule.tasks = {{"Nightly files", 2}};
        mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_RemoveScheduleItem", "Weekly");
        reloaded = main.movie.Since(mark);

        schedule.change = TaskListChange::None;
        mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_RemoveAllSchedule", "");
        allDeclined = main.movie.Since(mark);
        schedule.change = TaskListChange::Emptied;
        mark = main.movie.calls.size();
        dialog.OnFSCommand("ID_FS_RemoveAllSchedule", "");
        allDeleted = main.movie.Since(mark);
        dialog.OnFSCommand("ID_FS_close", "");
    }});
    CHECK(emptyList == std::vector<std::string>{"_root.myCounter2=0", "_root.FirstTime=1"});
    CHECK(shown == std::vector<std::string>{"_root.myCounter2=2", "_root.NamesOfScheduleItems0=Weekly",
                                            "_root.NamesOfScheduleItems1=Nightly files", "_root.FirstTime=1"});
    CHECK(notFound.empty());
    CHECK(main.QuestionTexts() == std::vector<std::string>(3, main.Text(9028)));
    CHECK(acted.empty());
    CHECK(reloaded == std::vector<std::string>{"_root.myCounter2=1", "_root.NamesOfScheduleItems0=Nightly files",
                                               "_root.FirstTime=1"});
    CHECK(allDeclined.empty());
    CHECK(allDeleted == std::vector<std::string>{"_root.removeScheduleList=1"});
    CHECK(schedule.calls == std::vector<std::string>{"reload", "reload", "run:Nightly files@5", "properties:Weekly@3",
                                                     "delete:Weekly@3", "delete-all:1", "delete-all:1"});
    CHECK(dialog.m_page6.tasks.Count() == 0);
}

TEST_CASE("while a run pumps messages the window takes no command that starts a run or changes a list")
{
    MainFixture main;
    for (const char* name : {"C:\\1", "C:\\2", "C:\\3"}) {
        main.dialog->m_page2.files.Append(name);
        main.shredders.existing[name] = FILE_ATTRIBUTE_ARCHIVE;
    }
    main.dialog->m_page3.folders.Append("C:\\dir");
    main.shredders.existing["C:\\dir"] = FILE_ATTRIBUTE_DIRECTORY;
    main.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\new.txt"}});
    bool disabledDuring = false, runningDuring = false, stillOpen = false, iconicDuring = false;
    size_t questionsDuring = 0;
    main.shredders.during = [&](const std::string& call) {
        if (call != "file:full:C:\\1")
            return;
        HWND window = main.context.parentWindow;
        disabledDuring = !IsWindowEnabled(window);
        runningDuring = main.dialog->RunInProgress();
        // What a user's clicks or keys would send while the engine lets messages through.
        for (const char* name : {"ID_FS_RemoveAllItem", "ID_FS_ShredFile", "ID_FS_Browse", "ID_FS_ShredFolder",
                                 "ID_FS_RemoveAllFolderItem", "ID_FS_ShredRecycleBin", "IDC_FS_QuickShred",
                                 "ID_FS_subFolder", "ID_FS_AboutUS", "ID_FS_close"})
            main.Command(name, "D:");
        main.Command("ID_FS_RemoveItem", "C:\\3");
        main.Command("ID_FS_ShredDrive", "C:");
        main.Command("IDC_FS_ThroughShred", "5");
        SendMessageA(window, WM_CLOSE, 0, 0);
        SendMessageA(window, WM_SYSCOMMAND, 16, 0);
        stillOpen = IsWindow(window) != FALSE;
        main.Command("ID_FS_minimize");  // taken: it changes nothing the run reads
        iconicDuring = IsIconic(window) != FALSE;
        ShowWindow(window, SW_RESTORE);
        questionsDuring = main.channel.questions.size();
    };
    bool enabledAfter = false;
    ScriptResult result = main.Run([&](HWND window) {
        main.Command("ID_FS_ShredFile");
        enabledAfter = IsWindowEnabled(window) && !main.dialog->RunInProgress();
    });
    CHECK_FALSE(result.hung);
    CHECK(disabledDuring);
    CHECK(runningDuring);
    CHECK(stillOpen);
    CHECK(iconicDuring);
    CHECK(enabledAfter);
    CHECK(questionsDuring == 1);  // the run's own confirmation only
    CHECK(main.shredders.calls == std::vector<std::string>{"file:full:C:\\1", "file:full:C:\\2", "file:full:C:\\3"});
    CHECK(main.dialogs.owners.empty());
    CHECK(main.dialogs.files.size() == 1);
    CHECK_FALSE(test::ValueExists("Method"));
    CHECK(main.dialog->m_page2.files.Empty());
    CHECK(main.dialog->m_page3.folders.Count() == 1);
    CHECK(result.ending == 0);
}

TEST_CASE("a skin that cannot be loaded or applied: the message, and the window never shows")
{
    struct Case {
        const char* name;
        const char* skin;  // null: no skin file
    } cases[] = {{"missing", nullptr}, {"no Mask", "skin 1\nelement Other rounded 4\n"}, {"broken", "skin 2\n"}};
    for (const Case& c : cases) {
        CAPTURE(c.name);
        MainFixture main;
        DeleteFileA((main.installation.Path() + "\\Skin\\skin.skn").c_str());
        if (c.skin)
            main.installation.WriteMovie("skin.skn", c.skin);
        std::string message, caption;
        bool mainVisible = true;
        ScriptResult result = RunScripted(*main.dialog, {[&](HWND box) {
            char text[256] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));  // the message box's text
            message = text;
            GetWindowTextA(box, text, sizeof(text));
            caption = text;
            mainVisible = main.context.parentWindow && IsWindowVisible(main.context.parentWindow);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }});
        CHECK_FALSE(result.hung);
        CHECK(message == "Could load or apply the skin.");
        CHECK(caption == "Vantor Shredder");
        CHECK_FALSE(mainVisible);
        CHECK(main.movie.calls.empty());  // no movie was loaded
        CHECK(MainWindow() == nullptr);
    }
}

TEST_CASE("without its main movie the window says which file is missing and ends")
{
    MainFixture main;
    MainWindowSeams seams;
    seams.shredders = &main.shredders;
    TestMainDlg dialog(main.context, seams);  // the window's own movie host
    std::string message;
    ScriptResult result = RunScripted(dialog, {[&](HWND box) {
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        message = text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }});
    CHECK_FALSE(result.hung);
    CHECK(message == MessageText::WithPath(MessageText::ExpandLineBreaks(main.Text(9145)),
                                           main.installation.Path() + "\\Skin\\VantorShredder.swf"));
}
