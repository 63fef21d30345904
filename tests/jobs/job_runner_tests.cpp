// The command-line job: its confirmation, what each item is taken for, how it ends; first with the
// shredders stood in for, then with the real ones on files in a temporary folder.
#include "app/JobRunner.h"
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <cstring>
#include <map>

namespace {

const char* const JobPack =
    "9051=%u items?#\r\n"
    "9052=destroy#%s?\r\n"
    "9053=unknown#%s\r\n"
    "9071=too long#%s\r\n"
    "9212=not full#%s\r\n";

// Records what the job hands to which shredder; the status query is the real one unless a
// status is given for an item.
class RecordingActions : public JobActions {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::string> resolved;
    std::map<std::string, DWORD> statuses;
    bool folderStops = false;
    bool folderSkips = false;
    bool fileStops = false;
    bool fileSetsStopRequest = false;

    bool QueryStatus(const std::string& item, std::string& fullPath, DWORD& attributes) override
    {
        auto found = statuses.find(item);
        if (found == statuses.end())
            return QueryItemStatus(item, fullPath, attributes);
        fullPath = item;
        attributes = found->second;
        return true;
    }
    bool ResolveShellPath(const std::string& text, std::string& path) override
    {
        auto found = resolved.find(text);
        if (found == resolved.end())
            return false;
        path = found->second;
        return true;
    }
    Flow ShredFile(ShredContext& context, const std::string& path) override
    {
        calls.push_back("file " + path);
        if (fileSetsStopRequest)
            context.stopRequest = 1;
        return fileStops ? Flow::Stop : Flow::GoOn;
    }
    FolderResult ShredFolder(ShredContext&, const std::string& path, bool system) override
    {
        calls.push_back("folder " + path + (system ? " system" : ""));
        return folderStops ? FolderResult::Stopped : folderSkips ? FolderResult::Skipped : FolderResult::Done;
    }
    void RemoveFolderIfEmpty(ShredContext&, const std::string& path) override { calls.push_back("remove-if-empty " + path); }
    void RemoveLink(ShredContext&, const std::string& path) override { calls.push_back("link " + path); }
    void WipeFreeSpace(ShredContext&, const std::string& root) override { calls.push_back("wipe " + root); }
    void ShredRecycleBinNow(ShredContext&) override { calls.push_back("recycle"); }
};

struct Job {
    test::FreshSettings settings;
    test::TempFolder folder{"job"};
    test::ScriptedChannel channel;
    ShredContext context;
    RecordingActions actions;

    Job()
    {
        test::WritePack(folder.Path(), "English", JobPack);
        Settings::WriteString("AppPath", folder.Path());
        context.appPath = folder.Path();
        context.title = "Title";
        context.channel = &channel;
        std::strcpy(context.machine.drives[2].root, "C:\\");
    }
    void Run(std::vector<std::string> items)
    {
        RunCommandLineJob(context, items, actions);
        CHECK(context.progressWindow == nullptr);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
    std::string Log() const { return test::ReadFileBytes(folder / "log.txt"); }
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_CASE("the confirmation of an interactive job")
{
    struct Case {
        const char* title;
        std::vector<std::string> items;
        const char* question;
    } cases[] = {
        {"the Recycle Bin alone", {"recycle"}, "destroy\nthe Recycle Bin?"},
        {"one item the shell resolves", {"C:\\short~1.txt"}, "destroy\nC:\\Shortened name.txt?"},
        {"one item the shell cannot parse", {"Q:\\nowhere\\x"}, "destroy\nQ:\\nowhere\\x?"},
        {"several items, one of them the Recycle Bin", {"recycle", "Q:\\a", "Q:\\b"}, "3 items?\n"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.title);
        Job job;
        job.actions.resolved["C:\\short~1.txt"] = "C:\\Shortened name.txt";
        job.channel.answers = {Answer::No};
        job.Run(c.items);
        CHECK(job.Texts() == std::vector<std::string>{c.question});
        CHECK(job.channel.questions[0].style == WarningStyle::Confirm);
        CHECK(job.channel.questions[0].title == "Title");
        CHECK(job.actions.calls.empty());  // No ends the job before its first item
    }
}

TEST_CASE("a job's items, each given to its shredder")
{
    Job job;
    test::TempFolder work{"items"};
    test::WriteFileBytes(work / "file.txt", "data");
    CreateDirectoryA((work / "dir").c_str(), nullptr);
    CreateDirectoryA((work / "sysdir").c_str(), nullptr);
    SetFileAttributesA((work / "sysdir").c_str(), FILE_ATTRIBUTE_SYSTEM);
    job.context.silent = true;
    job.Run({"recycle", work / "file.txt", work / "dir", work / "sysdir", "c:\\", "Recycle", work / "dir\\", "C:",
             "Q:\\", work / "*.txt", work / "missing"});
    CHECK(job.actions.calls == Calls{"recycle", "file " + work / "file.txt", "folder " + work / "dir",
                                     "remove-if-empty " + work / "dir", "folder " + work / "sysdir system",
                                     "remove-if-empty " + work / "sysdir", "wipe C:\\"});
    // Each item that is nothing known, or no full path, is logged by name, and the job goes on.
    std::string expected = "not full\r\nRecycle\r\n\r\n";
    for (std::string item : {work / "dir\\", std::string("C:")})
        expected += (item == "C:" ? "not full\r\n" : "unknown\r\n") + item + "\r\n\r\n";
    for (std::string item : {std::string("Q:\\"), work / "*.txt", work / "missing"})
        expected += "unknown\r\n" + item + "\r\n\r\n";
    CHECK(job.Log() == expected);
    CHECK(job.channel.questions.empty());
    SetFileAttributesA((work / "sysdir").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("an item that is no full path is refused by name, whatever the current folder holds")
{
    Job job;
    test::TempFolder work{"relative"};
    test::WriteFileBytes(work / "here.txt", "data");
    CreateDirectoryA((work / "inner").c_str(), nullptr);
    char previous[MAX_PATH];
    REQUIRE(GetCurrentDirectoryA(MAX_PATH, previous) > 0);
    REQUIRE(SetCurrentDirectoryA((work / "inner").c_str()));
    job.context.silent = true;
    const std::vector<std::string> items = {"here.txt", "..", "..\\here.txt", ".\\x", "C:", "c:here.txt", "\\here.txt",
                                            work / "inner\\..\\here.txt", work / "inner\\.\\x", work / "inner.\\x",
                                            "\\\\?\\" + work / "here.txt", "\\\\server", "\\\\server\\", "C:/x",
                                            work / "inner\\\\x"};
    job.Run(items);
    SetCurrentDirectoryA(previous);
    CHECK(job.actions.calls.empty());
    CHECK(test::ReadFileBytes(work / "here.txt") == "data");
    std::string expected;
    for (const std::string& item : items)
        expected += "not full\r\n" + item + "\r\n\r\n";
    CHECK(job.Log() == expected);
}

TEST_CASE("full paths: a drive's, a share's and a drive root")
{
    for (const char* item : {"C:\\a.txt", "c:\\", "\\\\server\\share", "\\\\server\\share\\dir\\a.txt", "Z:\\a b\\c"}) {
        CAPTURE(item);
        CHECK(CheckItemName(item) == ItemName::Usable);
    }
    CHECK(CheckItemName("C:\\" + std::string(MAX_PATH, 'x')) == ItemName::TooLong);
}

TEST_CASE("an item ending in a dot or a blank is not taken for the name without them")
{
    Job job;
    test::TempFolder work{"dots"};
    test::WriteFileBytes(work / "file.txt", "kept");
    CreateDirectoryA((work / "dir").c_str(), nullptr);
    job.context.silent = true;
    job.Run({work / "file.txt.", work / "dir ", work / "file.txt ..", work / "dir\\.."});
    CHECK(job.actions.calls.empty());
    CHECK(job.Log() == "unknown\r\n" + work / "file.txt." + "\r\n\r\nunknown\r\n" + work / "dir " +
                           "\r\n\r\nunknown\r\n" + work / "file.txt .." + "\r\n\r\nunknown\r\n" + work / "dir\\.." +
                           "\r\n\r\n");
    CHECK(test::ReadFileBytes(work / "file.txt") == "kept");
}

TEST_CASE("the entry found must have the name asked for, letter case aside")
{
    test::TempFolder work{"named"};
    test::WriteFileBytes(work / "Report.txt", "data");
    std::string fullPath;
    DWORD attributes = 0;
    CHECK(QueryItemStatus(work / "REPORT.TXT", fullPath, attributes));
    CHECK(fullPath == work / "REPORT.TXT");
    char shortPath[MAX_PATH];
    test::WriteFileBytes(work / "A long name.text", "data");
    REQUIRE(GetShortPathNameA((work / "A long name.text").c_str(), shortPath, MAX_PATH) > 0);
    CHECK(QueryItemStatus(shortPath, fullPath, attributes));
    // The system drops the trailing dot and blank, and would find Report.txt.
    CHECK_FALSE(QueryItemStatus(work / "Report.txt.", fullPath, attributes));
    CHECK_FALSE(QueryItemStatus(work / "Report.txt ", fullPath, attributes));
}

TEST_CASE("an item longer than a path buffer is refused by name and the job goes on")
{
    Job job;
    const std::string item = "C:\\" + std::string(MAX_PATH, 'x');
    job.channel.answers = {Answer::Positive};
    job.Run({item, "recycle"});
    CHECK(job.Texts() == std::vector<std::string>{"2 items?\n", "too long\n" + item});
    CHECK(job.actions.calls == Calls{"recycle"});
}

TEST_CASE("a file item that is itself a link is removed as a link")
{
    Job job;
    job.context.silent = true;
    job.actions.statuses["C:\\link.txt"] = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE;
    job.Run({"C:\\link.txt"});
    CHECK(job.actions.calls == Calls{"link C:\\link.txt"});
}

TEST_CASE("how a job ends")
{
    SUBCASE("a folder walk that stopped: no removal, no later item")
    {
        Job job;
        job.context.silent = true;
        job.actions.statuses["C:\\d"] = FILE_ATTRIBUTE_DIRECTORY;
        job.actions.folderStops = true;
        job.Run({"C:\\d", "recycle"});
        CHECK(job.actions.calls == Calls{"folder C:\\d"});
    }
    SUBCASE("a folder walk that was refused or skipped: never removed, the job goes on")
    {
        Job job;
        job.context.silent = true;
        job.actions.statuses["C:\\Windows\\Fonts"] = FILE_ATTRIBUTE_DIRECTORY;
        job.actions.folderSkips = true;
        job.Run({"C:\\Windows\\Fonts", "recycle"});
        CHECK(job.actions.calls == Calls{"folder C:\\Windows\\Fonts", "recycle"});
    }
    SUBCASE("a file that answers stop")
    {
        Job job;
        job.context.silent = true;
        job.actions.statuses["C:\\f"] = FILE_ATTRIBUTE_ARCHIVE;
        job.actions.fileStops = true;
        job.Run({"C:\\f", "recycle"});
        CHECK(job.actions.calls == Calls{"file C:\\f"});
    }
    SUBCASE("the stop request set during an item")
    {
        Job job;
        job.context.silent = true;
        job.actions.statuses["C:\\f"] = FILE_ATTRIBUTE_ARCHIVE;
        job.actions.fileSetsStopRequest = true;
        job.Run({"C:\\f", "C:\\f"});
        CHECK(job.actions.calls == Calls{"file C:\\f"});
    }
    SUBCASE("an unknown item, interactively: Continue goes on, Stop ends")
    {
        Job job;
        job.channel.answers = {Answer::Positive, Answer::Positive, Answer::Cancel};
        job.Run({"Q:\\a", "recycle", "Q:\\b", "recycle"});
        CHECK(job.Texts() == std::vector<std::string>{"4 items?\n", "unknown\nQ:\\a", "unknown\nQ:\\b"});
        CHECK(job.channel.questions[1].style == WarningStyle::ContinueStop);
        CHECK(job.actions.calls == Calls{"recycle"});
    }
    SUBCASE("the stop request is cleared when the job starts")
    {
        Job job;
        job.context.silent = true;
        job.context.stopRequest = 1;
        job.Run({"recycle", "recycle"});
        CHECK(job.actions.calls == Calls{"recycle", "recycle"});
    }
    SUBCASE("the progress window is released, also after an early end")
    {
        Job job;
        job.context.progressWindow = job.channel.OpenProgress(nullptr, &job.context.stopRequest);
        job.channel.answers = {Answer::No};
        job.Run({"recycle"});  // Run checks that the window is gone
    }
}
