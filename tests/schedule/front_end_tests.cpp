// The schedule actions as the main window starts them, against the real Schedule object: what
// the user is asked and shown, and what the system's task scheduler holds afterwards.
#include "common/Settings.h"
#include "lang/MessageText.h"
#include "tests/schedule/ScheduleFixture.h"
#include "ui/TaskNameDlg.h"

#include <doctest/doctest.h>

using namespace scheduletest;

namespace {

// A file with `bytes`, with these attributes on top.
std::string MakeFile(const test::TempFolder& folder, const std::string& name, DWORD attributes = 0)
{
    std::string path = folder / name;
    test::WriteFileBytes(path, "data of " + name);
    if (attributes)
        REQUIRE(SetFileAttributesA(path.c_str(), attributes));
    return path;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

}  // namespace

TEST_CASE("the file checks: a missing file in a message box, read-only, hidden or system ones asked about")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedcheck");
    std::string plain = MakeFile(folder, "plain.txt");
    std::string gone = folder / "gone.txt";
    std::vector<std::string> boxes;
    ScheduleCheck missing = ScheduleCheck::Passed;
    CHECK(fixture.Drive([&] { missing = fixture.schedule->CheckFileForSchedule(gone); }, {Acknowledge(boxes)}));
    CHECK(missing == ScheduleCheck::Missing);
    CHECK(boxes == std::vector<std::string>{MessageText::WithPath(fixture.Text(9034), gone)});
    CHECK(fixture.channel.questions.empty());

    CHECK(fixture.schedule->CheckFileForSchedule(plain) == ScheduleCheck::Passed);
    CHECK(fixture.channel.questions.empty());

    struct Case {
        DWORD attributes;
        Answer answer;
        ScheduleCheck result;
    } cases[] = {
        {FILE_ATTRIBUTE_READONLY, Answer::Positive, ScheduleCheck::Passed},
        {FILE_ATTRIBUTE_READONLY, Answer::No, ScheduleCheck::Missing},
        {FILE_ATTRIBUTE_HIDDEN, Answer::Cancel, ScheduleCheck::Cancelled},
        {FILE_ATTRIBUTE_SYSTEM, Answer::Positive, ScheduleCheck::Passed},
        {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN, Answer::No, ScheduleCheck::Missing},
    };
    int number = 0;
    for (const Case& c : cases) {
        CAPTURE(c.attributes);
        CAPTURE(static_cast<int>(c.answer));
        std::string path = MakeFile(folder, "special" + std::to_string(++number) + ".txt", c.attributes);
        fixture.channel.questions.clear();
        fixture.channel.answers = {c.answer};
        CHECK(fixture.schedule->CheckFileForSchedule(path) == c.result);
        REQUIRE(fixture.channel.questions.size() == 1);
        CHECK(fixture.channel.questions[0].style == WarningStyle::YesNoCancel);
        CHECK(fixture.channel.questions[0].text == MessageText::WithPath(fixture.Text(9054), path));
        CHECK(fixture.channel.questions[0].title == "Vantor Shredder");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder can go
    }
}

TEST_CASE("three files, the second gone: the task starts the program with the first and third, and the list is emptied")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedfiles");
    std::string first = MakeFile(folder, "first one.txt");
    std::string second = folder / "second.txt";
    std::string third = MakeFile(folder, "third.txt");
    Settings::WriteNumber("Method", 1);
    Settings::WriteNumber("PassCount", 7);
    ItemList files;
    for (const std::string& path : {first, second, third})
        files.Append(path);
    std::vector<std::string> boxes;
    bool emptied = false;
    CHECK(fixture.Drive([&] { emptied = fixture.schedule->ScheduleFiles(files); },
                        {Acknowledge(boxes), NameTask("TmTest Weekly files"), ConfirmSchedule()}));
    CHECK(emptied);
    CHECK(files.Empty());
    CHECK(boxes == std::vector<std::string>{MessageText::WithPath(fixture.Text(9034), second)});
    CHECK(fixture.channel.questions.empty());
    REQUIRE(SystemTaskNames() == std::vector<std::string>{"TmTest Weekly files"});
    CHECK(StoredCommandLine("TmTest Weekly files") ==
          "\"/s\" \"TmTest Weekly files\" \"/O1\" \"/T7\" " + Quoted(first) + " " + Quoted(third));
    CHECK(StoredApplication("TmTest Weekly files") == test::DistFolder() + "\\Nullwright.exe");
    CHECK(StoredCreator("TmTest Weekly files") == "Vantor-Shredder");
    // The schedule dialog's OK gave it its trigger.
    CHECK(test::StoredTriggerCount(L"TmTest Weekly files") == 1);
}

TEST_CASE("the first file left out gives two blanks before the second; Cancel or nothing left makes no task")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedanswers");
    std::string locked = MakeFile(folder, "locked.txt", FILE_ATTRIBUTE_READONLY);
    std::string open = MakeFile(folder, "open.txt");

    ItemList files;
    files.Append(locked);
    files.Append(open);
    fixture.channel.answers = {Answer::No};
    CHECK(fixture.Drive([&] { CHECK(fixture.schedule->ScheduleFiles(files)); },
                        {NameTask("TmTest Second only"), ConfirmSchedule()}));
    CHECK(StoredCommandLine("TmTest Second only") == "\"/s\" \"TmTest Second only\" \"/O0\" \"/T3\"  " + Quoted(open));

    // Cancel to the question: the list goes, no task comes, no name is asked for.
    files.Append(open);
    files.Append(locked);
    fixture.channel.answers = {Answer::Cancel};
    CHECK(fixture.schedule->ScheduleFiles(files));
    CHECK(files.Empty());
    // Every file left out: the same.
    files.Append(locked);
    fixture.channel.answers = {Answer::No};
    CHECK(fixture.schedule->ScheduleFiles(files));
    CHECK(files.Empty());
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Second only"});
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("a cancelled task-name dialog makes no task and still empties the list")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedcancel");
    fixture.context.machine.drives[2] = DriveEntry{{'C', ':', '\\', '\0'}, false};
    ItemList files, folders;
    files.Append(MakeFile(folder, "a.txt"));
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    folders.Append(folder / "dir");
    bool filesEmptied = false, foldersEmptied = false;
    CHECK(fixture.Drive([&] { filesEmptied = fixture.schedule->ScheduleFiles(files); }, {CancelTaskName()}));
    CHECK(fixture.Drive([&] { foldersEmptied = fixture.schedule->ScheduleFolders(folders); }, {CancelTaskName()}));
    fixture.Drive([&] { fixture.schedule->ScheduleDrive("C:"); }, {CancelTaskName()});
    fixture.Drive([&] { fixture.schedule->ScheduleRecycleBin(); }, {CancelTaskName()});
    CHECK(filesEmptied);
    CHECK(foldersEmptied);
    CHECK(files.Empty());
    CHECK(folders.Empty());
    CHECK(SystemTaskNames().empty());
    CHECK(fixture.channel.questions.empty());
}

TEST_CASE("a folder task after Yes to the prompt for subfolders carries /F2, stored before its line was made")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedfolder");
    std::string data = folder / "My Data";
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA((data + "\\sub").c_str(), nullptr);
    test::WriteFileBytes(data + "\\a.txt", "a");
    Settings::WriteNumber("Folder", 1);
    Settings::WriteNumber("Remove", 1);
    Settings::WriteNumber("PassCount", 2);
    ItemList folders;
    folders.Append(data);
    fixture.channel.answers = {Answer::Positive, Answer::No};  // contents: Yes; removal: No
    CHECK(fixture.Drive([&] { CHECK(fixture.schedule->ScheduleFolders(folders)); },
                        {NameTask("TmTest Folders"), ConfirmSchedule()}));
    CHECK(fixture.QuestionTexts() == std::vector<std::string>{fixture.Text(9055), fixture.Text(9056)});
    CHECK(Settings::ReadNumber("Folder", -1) == 2);
    CHECK(Settings::ReadNumber("Remove", -1) == 0);
    CHECK(StoredCommandLine("TmTest Folders") ==
          "\"/s\" \"TmTest Folders\" \"/O0\" \"/T2\" \"/F2\" \"/R0\" " + Quoted(data));
    CHECK(folders.Empty());
}

TEST_CASE("a drive task names the drive's root, a Recycle Bin task the word recycle; empty lists say so")
{
    ScheduleFixture fixture;
    fixture.context.machine.drives[2] = DriveEntry{{'C', ':', '\\', '\0'}, false};
    Settings::WriteNumber("Method", 1);
    CHECK(fixture.Drive([&] { fixture.schedule->ScheduleDrive("C:"); }, {NameTask("TmTest Free C"), ConfirmSchedule()}));
    CHECK(fixture.Drive([&] { fixture.schedule->ScheduleRecycleBin(); }, {NameTask("TmTest Bin"), ConfirmSchedule()}));
    fixture.schedule->ScheduleDrive("Q:");  // a drive the window does not offer: nothing
    CHECK(StoredCommandLine("TmTest Free C") == "\"/s\" \"TmTest Free C\" \"/O1\" \"/T3\" \"C:\\\"");
    CHECK(StoredCommandLine("TmTest Bin") == "\"/s\" \"TmTest Bin\" \"/O1\" \"/T3\" \"recycle\"");
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Bin", "TmTest Free C"});

    ItemList empty;
    CHECK_FALSE(fixture.schedule->ScheduleFiles(empty));
    CHECK_FALSE(fixture.schedule->ScheduleFolders(empty));
    CHECK(fixture.QuestionTexts() == std::vector<std::string>{fixture.Text(9019), fixture.Text(9030)});
}

TEST_CASE("a name taken in the scheduler is refused by the dialog, which then takes another")
{
    ScheduleFixture fixture;
    MakeSystemTask("TmTest Taken", "Another Program");
    std::vector<std::string> warnings;
    CHECK(fixture.Drive([&] { fixture.schedule->ScheduleRecycleBin(); },
                        {NameTask("TmTest Taken"), Acknowledge(warnings), NameTask("TmTest Free"), ConfirmSchedule()}));
    CHECK(warnings == std::vector<std::string>{fixture.Text(9016)});
    CHECK(StoredCreator("TmTest Taken") == "Another Program");
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Free", "TmTest Taken"});
}

TEST_CASE("the task list holds the program's own tasks only, with their indexes in the scheduler")
{
    ScheduleFixture fixture;
    MakeSystemTask("TmTest Other one", "Another Program");
    MakeSystemTask("TmTest Ours one", "Vantor-Shredder");
    MakeSystemTask("TmTest Other two", "vantor-shredder");  // the mark is compared exactly
    MakeSystemTask("TmTest Ours two", "Vantor-Shredder");
    TaskList tasks;
    tasks.Append("stale", 9);
    fixture.schedule->ReloadTaskList(tasks);
    std::vector<std::string> names = tasks.Names();
    std::sort(names.begin(), names.end());
    CHECK(names == std::vector<std::string>{"TmTest Ours one", "TmTest Ours two"});
    // Each index is the task's place in a refreshed Schedule object.
    test::Automation schedule{ComPtr<IDispatch>::Share(fixture.scheduler.Get())};
    REQUIRE(schedule.Call(L"Refresh").Ok());
    for (size_t i = 0; i < tasks.Count(); ++i) {
        CAPTURE(tasks.Names()[i]);
        test::Automation job = schedule.Object(L"Job", {static_cast<long>(tasks.TaskIndexAt(i))});
        CHECK(job.Text(L"Name") == tasks.Names()[i]);
    }
    CHECK(fixture.channel.questions.empty());
}

TEST_CASE("delete-all removes exactly the program's tasks, after its confirmation only")
{
    ScheduleFixture fixture;
    MakeSystemTask("TmTest Other one", "Another Program");
    MakeSystemTask("TmTest Other two", "Another Program");
    for (const char* name : {"TmTest Ours 1", "TmTest Ours 2", "TmTest Ours 3"})
        MakeSystemTask(name, "Vantor-Shredder");
    TaskList tasks;
    fixture.schedule->ReloadTaskList(tasks);
    REQUIRE(tasks.Count() == 3);

    fixture.channel.answers = {Answer::Cancel};
    CHECK(fixture.schedule->DeleteAllTasks(tasks) == TaskListChange::None);
    CHECK(tasks.Count() == 3);
    CHECK(SystemTaskNames().size() == 5);

    CHECK(fixture.schedule->DeleteAllTasks(tasks) == TaskListChange::Emptied);
    CHECK(tasks.Count() == 0);
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Other one", "TmTest Other two"});
    REQUIRE(fixture.channel.questions.size() == 2);
    CHECK(fixture.channel.questions[1].style == WarningStyle::Confirm);
    CHECK(fixture.channel.questions[1].text == fixture.Text(9029));
    CHECK(fixture.channel.questions[1].title == fixture.Text(9064));

    // None of its own: the fixed notice, no question.
    fixture.channel.questions.clear();
    CHECK(fixture.schedule->DeleteAllTasks(tasks) == TaskListChange::None);
    REQUIRE(fixture.channel.questions.size() == 1);
    CHECK(fixture.channel.questions[0].text == "There isn't any item in the list box.");
    CHECK(fixture.channel.questions[0].style == WarningStyle::Notice);
}

TEST_CASE("delete, run and properties act on the listed task; one that changed since is never acted on")
{
    ScheduleFixture fixture;
    const std::string changed = "The scheduled tasks have changed";  // the start of key 9274
    auto saidChanged = [&] {
        return !fixture.channel.questions.empty() &&
               fixture.channel.questions.back().text == MessageText::ExpandLineBreaks(fixture.Text(9274)) &&
               fixture.channel.questions.back().text.rfind(changed, 0) == 0;
    };

    SUBCASE("still there: deleted, and the list read again")
    {
        MakeSystemTask("TmTest Ours", "Vantor-Shredder");
        TaskList tasks;
        fixture.schedule->ReloadTaskList(tasks);
        REQUIRE(tasks.Count() == 1);
        CHECK(fixture.schedule->DeleteTask(tasks, 0) == TaskListChange::Reloaded);
        CHECK(tasks.Count() == 0);
        CHECK(SystemTaskNames().empty());
        CHECK(fixture.channel.questions.empty());
    }
    SUBCASE("deleted elsewhere, another program's task now at its index: nothing is deleted or opened")
    {
        MakeSystemTask("TmTest Ours", "Vantor-Shredder");
        TaskList tasks;
        fixture.schedule->ReloadTaskList(tasks);
        REQUIRE(tasks.Count() == 1);
        REQUIRE(tasks.TaskIndexAt(0) == 1);
        DeleteAllTasks();
        MakeSystemTask("TmTest Other", "Another Program");
        TaskList again = tasks;
        CHECK(fixture.schedule->DeleteTask(tasks, 0) == TaskListChange::Reloaded);
        CHECK(saidChanged());
        CHECK(tasks.Count() == 0);
        CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Other"});
        // Properties would open a dialog; none may come.
        CHECK(fixture.Drive([&] { CHECK(fixture.schedule->ShowTaskProperties(again, 0) == TaskListChange::Reloaded); },
                            {}));
        CHECK(again.Count() == 0);
        TaskList third = {};
        third.Append("TmTest Ours", 1);
        CHECK(fixture.schedule->RunTask(third, 0) == TaskListChange::Reloaded);
        CHECK(fixture.channel.questions.size() == 3);
        CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Other"});
    }
    SUBCASE("renamed elsewhere: the list now shows the new name")
    {
        MakeSystemTask("TmTest Before", "Vantor-Shredder");
        TaskList tasks;
        fixture.schedule->ReloadTaskList(tasks);
        REQUIRE(tasks.Count() == 1);
        REQUIRE(test::RenameTaskFile(L"TmTest Before.job", L"TmTest After.job"));
        CHECK(fixture.schedule->DeleteTask(tasks, 0) == TaskListChange::Reloaded);
        CHECK(saidChanged());
        CHECK(tasks.Names() == std::vector<std::string>{"TmTest After"});
        CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest After"});
    }
    SUBCASE("the same name, now another program's: not ours to delete")
    {
        MakeSystemTask("TmTest Name", "Vantor-Shredder");
        TaskList tasks;
        fixture.schedule->ReloadTaskList(tasks);
        DeleteAllTasks();
        MakeSystemTask("TmTest Name", "Another Program");
        fixture.channel.answers = {Answer::Positive};
        CHECK(fixture.schedule->DeleteAllTasks(tasks) == TaskListChange::Reloaded);
        CHECK(saidChanged());
        CHECK(tasks.Count() == 0);
        CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Name"});
    }
}

TEST_CASE("properties of a listed task open the schedule dialog; its OK gives the task its time")
{
    ScheduleFixture fixture;
    MakeSystemTask("TmTest Later", "Vantor-Shredder");
    TaskList tasks;
    fixture.schedule->ReloadTaskList(tasks);
    REQUIRE(tasks.Count() == 1);
    CHECK(fixture.Drive([&] { CHECK(fixture.schedule->ShowTaskProperties(tasks, 0) == TaskListChange::None); },
                        {ScheduleAt(4, 37)}));
    TASK_TRIGGER stored = test::StoredTrigger(L"TmTest Later", 0);
    CHECK(stored.wStartHour == 4);
    CHECK(stored.wStartMinute == 37);
    CHECK(fixture.channel.questions.empty());
}

TEST_CASE("items too many for one task are refused before a name is asked for, saying how many fit")
{
    ScheduleFixture fixture;
    test::TempFolder folder("schedmany");
    // Long names, so that a few hundred characters of paths each fill the line quickly.
    std::vector<std::string> paths;
    std::string stem(200 - folder.Path().size(), 'n');
    for (int i = 0; i < 160; ++i)
        paths.push_back(MakeFile(folder, stem + std::to_string(1000 + i)));
    ItemList files;
    for (const std::string& path : paths)
        files.Append(path);
    CHECK_FALSE(fixture.schedule->ScheduleFiles(files));
    CHECK(files.Count() == paths.size());  // kept, for the user to choose fewer
    CHECK(SystemTaskNames().empty());
    REQUIRE(fixture.channel.questions.size() == 1);
    const std::string said = fixture.channel.questions[0].text;
    // "These 160 items ... Only the first N of them fit."
    const std::string before = "Only the first ";
    size_t at = said.find(before);
    REQUIRE(at != std::string::npos);
    unsigned fit = static_cast<unsigned>(std::stoul(said.substr(at + before.size())));
    unsigned total = static_cast<unsigned>(paths.size());
    MessageText::Values values;
    values.u = &fit;
    values.t = &total;
    CHECK(said == MessageText::Compose(fixture.Text(9275), values));
    REQUIRE(fit > 0);
    REQUIRE(fit < paths.size());

    // As many as it said fit make a task, which holds every one of them; one more does not.
    files.Clear();
    for (unsigned i = 0; i <= fit; ++i)
        files.Append(paths[i]);
    fixture.channel.questions.clear();
    CHECK_FALSE(fixture.schedule->ScheduleFiles(files));
    CHECK(fixture.channel.questions.size() == 1);
    files.RemoveAt(fit);
    CHECK(fixture.Drive([&] { CHECK(fixture.schedule->ScheduleFiles(files)); },
                        {NameTask(std::string("TmTest ") + std::string(MaxTaskNameLength() - 7, 'L')), ConfirmSchedule()}));
    std::vector<std::string> stored = SystemTaskNames();
    REQUIRE(stored.size() == 1);
    std::string line = StoredCommandLine(stored[0]);
    CHECK(line.find(Quoted(paths[fit - 1])) != std::string::npos);
    CHECK(line.find(Quoted(paths[fit])) == std::string::npos);
    // The whole start of it stays within what the system starts a program with.
    CHECK(std::string(Quoted(fixture.schedule->ProgramPath()) + " " + line).size() < 32767);
}

TEST_CASE("without a Schedule object every action says the component is missing and changes nothing")
{
    ScheduleFixture fixture;
    TaskSchedule none(fixture.context, nullptr);
    ItemList files, folders;
    files.Append("C:\\a.txt");
    folders.Append("C:\\dir");
    TaskList tasks;
    tasks.Append("Weekly", 1);
    CHECK_FALSE(none.ScheduleFiles(files));
    CHECK_FALSE(none.ScheduleFolders(folders));
    none.ScheduleDrive("C:");
    none.ScheduleRecycleBin();
    CHECK(none.DeleteAllTasks(tasks) == TaskListChange::None);
    CHECK(none.DeleteTask(tasks, 0) == TaskListChange::None);
    CHECK(none.RunTask(tasks, 0) == TaskListChange::None);
    CHECK(none.ShowTaskProperties(tasks, 0) == TaskListChange::None);
    CHECK(files.Count() == 1);
    CHECK(folders.Count() == 1);
    CHECK(tasks.Count() == 1);
    none.ReloadTaskList(tasks);
    CHECK(tasks.Count() == 1);
    CHECK(fixture.QuestionTexts() ==
          std::vector<std::string>(9, MessageText::ExpandLineBreaks(fixture.Text(9270))));
}
