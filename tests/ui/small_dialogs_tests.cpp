// The about, task-name and notice dialogs, run for real and answered through their controls;
// the start-up's old-shell notice; and the shell really starting the system information tool.
#include "app/ShredApp.h"
#include "common/Settings.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/MainWindowFakes.h"
#include "ui/AboutDlg.h"
#include "ui/DialogChannel.h"
#include "ui/ShellNoticeDlg.h"
#include "ui/TaskNameDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

using namespace uitest;

namespace {

// Names taken in the scheduler, as the stand-in for its Schedule object knows them.
class KnownTasks : public TaskNameBook {
public:
    std::vector<std::string> names;
    std::vector<std::string> asked;
    TaskNameState Check(const std::string& name) override
    {
        asked.push_back(name);
        for (const std::string& known : names)
            if (known == name)
                return TaskNameState::Taken;
        return TaskNameState::Free;
    }
};

HWND MovieEdit(HWND dialog)
{
    HWND host = GetDlgItem(dialog, 1060);
    return host ? FindWindowExA(host, nullptr, "Edit", nullptr) : nullptr;
}

// Types into the movie's name field as the keyboard does: the field tells the movie.
void TypeName(HWND dialog, const std::string& name)
{
    HWND edit = MovieEdit(dialog);
    REQUIRE(edit != nullptr);
    SetWindowTextA(edit, name.c_str());
}

struct TaskNameRun {
    bool accepted = false;
    std::string name;
    ScriptResult script;
};

TaskNameRun RunTaskName(ShredContext& context, KnownTasks& tasks, std::vector<Step> steps)
{
    TaskNameRun run;
    run.script = RunScripted(
        [&] {
            run.accepted = AskTaskName(nullptr, context, tasks, run.name);
            return static_cast<INT_PTR>(run.accepted ? IDOK : IDCANCEL);
        },
        std::move(steps));
    CHECK_FALSE(run.script.hung);
    return run;
}

bool IsWarning(HWND dialog)
{
    return GetDlgItem(dialog, 1101) != nullptr;
}

}  // namespace

TEST_CASE("the about dialog plays its movie with the program's version and closes on its OK")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    RecordingOpener opener;
    std::string version, name;
    bool stayedOpen = false;
    ScriptResult result = RunScripted(
        [&] {
            ShowAbout(nullptr, opener);
            return static_cast<INT_PTR>(IDOK);
        },
        {
            [&](HWND dialog) {
                version = Text(MovieControl(dialog, "Version 1.0.0", "Static"));
                name = Text(dialog);
                Click(MovieControl(dialog, "System Info"));
            },
            [&](HWND dialog) {
                stayedOpen = true;
                Click(MovieControl(dialog, "OK"));
            },
        });
    CHECK_FALSE(result.hung);
    CHECK(result.stepsRun == 2);
    CHECK(stayedOpen);
    CHECK(version == "Version 1.0.0");
    CHECK(name == "Vantor Shredder");
    CHECK(ProgramVersion() == "1.0.0");
    CHECK(opener.opened == std::vector<std::string>{installation.Path() + "\\SysInfo.exe|" + installation.Path() + "|" +
                                                     std::to_string(SW_SHOWMAXIMIZED)});
}

TEST_CASE("the about dialog's System Info starts SysInfo.exe of the installation, maximised; a missing one is no error")
{
    Installation installation;
    installation.CopyAllMovies();
    std::string tool = installation.Path() + "\\SysInfo.exe";
    std::string record = tool + ".started";
    bool openAfterMissing = false;
    ScriptResult result = RunScripted(
        [&] {
            ShowAbout(nullptr);
            return static_cast<INT_PTR>(IDOK);
        },
        {
            [&](HWND dialog) { Click(MovieControl(dialog, "System Info")); },  // not there yet
            [&](HWND dialog) {
                openAfterMissing = IsWindowVisible(dialog) != FALSE;
                std::string built = test::DistFolder() + "\\..\\tests\\record_start.exe";
                REQUIRE(CopyFileA(built.c_str(), tool.c_str(), FALSE));
                Click(MovieControl(dialog, "System Info"));
            },
            [&](HWND dialog) {
                // The tool runs on its own; the dialog waits for its record as a user would look.
                for (int tries = 0; tries < 600 && !test::FileExists(record); ++tries)
                    Sleep(50);
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            },
        });
    CHECK_FALSE(result.hung);
    CHECK(openAfterMissing);
    CHECK(test::ReadFileBytes(record) == "show=" + std::to_string(SW_SHOWMAXIMIZED) + " folder=" + installation.Path());
}

TEST_CASE("the task-name dialog refuses an empty name twice over and a taken name once, then takes a new one")
{
    Installation installation;
    installation.CopyAllMovies();
    ShredContext context;
    context.appPath = test::DistFolder();
    context.title = "Vantor Shredder";
    KnownTasks tasks;
    tasks.names = {"Weekly", "Nightly", "Weekly"};
    std::vector<std::string> seen;
    auto see = [&](HWND dialog) {
        seen.push_back(std::string(IsWarning(dialog) ? "warning: " : "box: ") + Message(dialog));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    TaskNameRun run = RunTaskName(context, tasks, {
        [&](HWND dialog) { Click(MovieControl(dialog, "OK")); },  // empty
        see,
        see,
        [&](HWND dialog) {
            TypeName(dialog, "Weekly");
            Click(MovieControl(dialog, "OK"));
        },
        see,
        [&](HWND dialog) {
            TypeName(dialog, "weekly");  // letter case makes another name
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);  // the window's own OK runs the same check
        },
    });
    CHECK(run.accepted);
    CHECK(run.name == "weekly");
    std::string empty = context.LookupText(9057), taken = context.LookupText(9016);
    CHECK(seen == std::vector<std::string>{"box: " + empty, "warning: " + empty, "warning: " + taken});
    CHECK(tasks.asked == std::vector<std::string>{"Weekly", "weekly"});
}

TEST_CASE("a name no task file can have is refused with its reason, and the dialog stays open")
{
    Installation installation;
    installation.CopyAllMovies();
    ShredContext context;
    context.appPath = test::DistFolder();
    context.title = "Vantor Shredder";
    KnownTasks tasks;
    const std::string characters = MessageText::ExpandLineBreaks(context.LookupText(9271));
    const std::string tooLong =
        MessageText::WithNumber(context.LookupText(9272), static_cast<unsigned>(MaxTaskNameLength()));
    struct Case {
        std::string name;
        std::string refusal;
    } cases[] = {
        {"Weekly \"files\" and more", characters},  // a quote would end the name in the command line
        {"C:\\Weekly", characters},
        {"a/b", characters},
        {"Night: files", characters},
        {"Star*", characters},
        {"What?", characters},
        {"<Weekly>", characters},
        {"a|b", characters},
        {"Tab\there", characters},
        {"Weekly.", characters},
        {"Weekly ", characters},
        {" ", characters},
        {"CON", MessageText::WithPath(context.LookupText(9273), "CON")},
        {"nul.backup", MessageText::WithPath(context.LookupText(9273), "nul.backup")},
        {"Lpt1 ", characters},
        {std::string(MaxTaskNameLength() + 1, 'n'), tooLong},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        std::string seen;
        bool stayed = false;
        TaskNameRun run = RunTaskName(context, tasks, {
            [&](HWND dialog) {
                TypeName(dialog, c.name);
                Click(MovieControl(dialog, "OK"));
            },
            [&](HWND warning) {
                seen = Message(warning);
                PostMessageA(warning, WM_COMMAND, IDOK, 0);
            },
            [&](HWND dialog) {
                stayed = IsWindowVisible(dialog) && MovieEdit(dialog) != nullptr;
                Click(MovieControl(dialog, "Cancel"));
            },
        });
        CHECK(seen == c.refusal);
        CHECK(stayed);
        CHECK_FALSE(run.accepted);
    }
    CHECK(tasks.asked.empty());  // refused before the scheduler is asked
}

TEST_CASE("names a task file can have are taken: blanks inside and in front, dots inside, the longest")
{
    Installation installation;
    installation.CopyAllMovies();
    ShredContext context;
    context.appPath = test::DistFolder();
    KnownTasks tasks;
    for (std::string name : {std::string(" Weekly"), std::string("Weekly files 2.0"), std::string("CONSOLE backup"),
                             std::string("COM10"), std::string(MaxTaskNameLength(), 'n')}) {
        CAPTURE(name);
        TaskNameRun run = RunTaskName(context, tasks, {[&](HWND dialog) {
            TypeName(dialog, name);
            Click(MovieControl(dialog, "OK"));
        }});
        CHECK(run.accepted);
        CHECK(run.name == name);
    }
    CHECK(tasks.asked.size() == 5);
}

TEST_CASE("Cancel and Escape make no task")
{
    Installation installation;
    installation.CopyAllMovies();
    ShredContext context;
    context.appPath = test::DistFolder();
    KnownTasks tasks;
    TaskNameRun cancelled = RunTaskName(context, tasks, {[](HWND dialog) {
        TypeName(dialog, "Unused");
        Click(MovieControl(dialog, "Cancel"));
    }});
    CHECK_FALSE(cancelled.accepted);
    TaskNameRun escaped = RunTaskName(context, tasks, {[](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }});
    CHECK_FALSE(escaped.accepted);
    CHECK(tasks.asked.empty());
}

TEST_CASE("without its movie the task-name dialog asks in its own field")
{
    Installation installation;  // no movies
    ShredContext context;
    context.appPath = test::DistFolder();
    KnownTasks tasks;
    bool fieldShown = false;
    TaskNameRun run = RunTaskName(context, tasks, {[&](HWND dialog) {
        fieldShown = Visible(dialog, IDC_TASK_NAME_EDIT);
        SetDlgItemTextA(dialog, IDC_TASK_NAME_EDIT, "Fallback name");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }});
    CHECK(fieldShown);
    CHECK(run.accepted);
    CHECK(run.name == "Fallback name");
}

TEST_CASE("the notice dialog: its text and caption, and its box kept only by OK")
{
    test::FreshSettings settings;  // no pack: the English defaults
    struct Case {
        bool tick;
        int ending;  // IDOK, or the close box
        bool result;
        bool dontShowAgain;
    } cases[] = {
        {true, IDOK, true, true},
        {false, IDOK, true, false},
        {true, 0, false, false},
        {true, IDCANCEL, false, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.tick);
        CAPTURE(c.ending);
        bool result = !c.result, box = !c.dontShowAgain;
        std::string text, caption, boxText, okText;
        ScriptResult script = RunScripted(
            [&] {
                result = ShowShellNotice(nullptr, "Line one\nline two", "The title", &box);
                return static_cast<INT_PTR>(result ? IDOK : IDCANCEL);
            },
            {[&](HWND dialog) {
                text = Text(GetDlgItem(dialog, IDC_NOTICE_TEXT));
                caption = Text(dialog);
                boxText = Text(GetDlgItem(dialog, IDC_NOTICE_DONT_SHOW));
                okText = Text(GetDlgItem(dialog, IDOK));
                if (c.tick)
                    Click(GetDlgItem(dialog, IDC_NOTICE_DONT_SHOW));
                if (c.ending == 0)
                    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                else if (c.ending == IDOK)
                    Click(GetDlgItem(dialog, IDOK));
                else
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }});
        CHECK_FALSE(script.hung);
        CHECK(result == c.result);
        CHECK(box == c.dontShowAgain);
        CHECK(text == "Line one\nline two");
        CHECK(caption == "The title");
        CHECK(boxText == "&Don't show me this again.");
        CHECK(okText == "OK");
    }
    CHECK(OldShellNoticeText("C:\\nowhere", "English").find("SHELL32.DLL is version 4.70 or older") !=
          std::string::npos);
}

TEST_CASE("the dialog channel shows its notices in the notice dialog, with the pack's captions")
{
    Installation installation;
    installation.CopyEnglishPack();
    DialogChannel channel;
    bool box = false, result = false;
    bool isNotice = false;
    ScriptResult script = RunScripted(
        [&] {
            result = channel.ShowNotice(NoticeMode::RecycleBin, "All of it", "Vantor Shredder", &box);
            return static_cast<INT_PTR>(IDOK);
        },
        {[&](HWND dialog) {
            isNotice = GetDlgItem(dialog, IDC_NOTICE_DONT_SHOW) != nullptr && !GetDlgItem(dialog, 1060);
            Click(GetDlgItem(dialog, IDC_NOTICE_DONT_SHOW));
            Click(GetDlgItem(dialog, IDOK));
        }});
    CHECK_FALSE(script.hung);
    CHECK(isNotice);
    CHECK(result);
    CHECK(box);
}

TEST_CASE("the start-up's old-shell notice: never once AlertDisabled is set, stored by its ticked box")
{
    test::FreshSettings settings;
    test::ScriptedChannel channel;
    ShredContext context;
    context.appPath = test::DistFolder();
    context.title = "Vantor Shredder";
    context.channel = &channel;

    channel.answers = {Answer::Cancel};
    channel.noticeDontShowAgain = true;
    ShowOldShellNotice(context);  // closed with its close box
    CHECK_FALSE(test::ValueExists("AlertDisabled"));

    channel.noticeDontShowAgain = false;
    ShowOldShellNotice(context);  // OK, box not ticked
    CHECK_FALSE(test::ValueExists("AlertDisabled"));

    channel.noticeDontShowAgain = true;
    ShowOldShellNotice(context);
    CHECK(Settings::ReadNumber("AlertDisabled", -1) == 1);
    ShowOldShellNotice(context);
    REQUIRE(channel.notices.size() == 3);
    CHECK(channel.notices[0].mode == NoticeMode::OldShell);
    CHECK(channel.notices[0].text == context.LookupText(11000));
    CHECK(channel.notices[0].title == "Vantor Shredder");

    // A silent run logs it instead: nobody would see the dialog, and the job would never start.
    // It is not about the job, so it does not take the place of the job's outcome.
    test::TempFolder logFolder("oldshell");
    Settings::WriteString("AppPath", logFolder.Path());
    context.silent = true;
    Settings::WriteNumber("AlertDisabled", 0);
    ShowOldShellNotice(context);
    CHECK(channel.notices.size() == 3);
    CHECK(context.logText.empty());
    CHECK(test::ReadFileBytes(logFolder / "log.txt") == context.LookupText(11000) + "\r\n\r\n");
    CHECK(Settings::ReadNumber("AlertDisabled", -1) == 0);
}
