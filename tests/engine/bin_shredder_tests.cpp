// The Recycle Bin shredder: its order of work over bins held in memory (counting, confirmation,
// stop, links, failures), and real runs over bin folders built on drive C: in both layouts, with
// the shell's two functions stood in for.
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "engine/FolderShredder.h"
#include "engine/RecycleBinShredder.h"
#include "tests/engine/folder_fakes.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

const char* const BinPack =
    "9014=no shell functions\r\n"
    "9015=bin empty#\r\n"
    "9034=missing#%s\r\n"
    "9048=cannot query#code:\r\n"
    "9049=destroy all?#\r\n"
    "9050=stopped at %c:#bin %c: kept %s %d %u\r\n"
    "9062=bin alert\r\n"
    "9072=link#%s\r\n"
    "9902=Shredding the bin\r\n"
    "9913=\"on drive \"\r\n";

class FakeShell : public RecycleBinShell {
public:
    LoadResult loadResult = LoadResult::Loaded;
    std::map<char, long long> items;
    std::map<char, HRESULT> failures;
    std::vector<std::string> calls;

    LoadResult Load() override
    {
        calls.push_back("load");
        return loadResult;
    }
    void Unload() override { calls.push_back("unload"); }
    HRESULT Query(const std::string& root, long long* count) override
    {
        calls.push_back("query " + root);
        *count = 0;
        if (failures.count(root[0]))
            return failures[root[0]];
        *count = items[root[0]];
        return S_OK;
    }
    void Empty(const std::string& root) override
    {
        calls.push_back("empty " + root);
        items[root[0]] = 0;
    }
    int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
};

struct Bin {
    test::FreshSettings settings;
    test::TempFolder install{"bin"};
    test::ScriptedChannel channel;
    ShredContext context;
    FakeShell shell;
    test::MemoryFolders disk;

    Bin()
    {
        test::WritePack(install.Path(), "English", BinPack);
        Settings::WriteString("AppPath", install.Path());
        context.appPath = install.Path();
        context.title = "Title";
        context.channel = &channel;
        context.transferBuffer.reset(new unsigned char[TransferBufferSize]);
        context.machine.sid = "S-1-5-21-7-8-9-1000";
    }
    // Drives that do not exist under Wine, so nothing here can reach a real disk.
    void AddDrive(char letter, bool ntfs = false)
    {
        DriveEntry& drive = context.machine.drives[letter - 'A'];
        drive.root[0] = letter;
        drive.root[1] = ':';
        drive.root[2] = '\\';
        drive.ntfs = ntfs;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
    void Run(BinLayout layout = BinLayout::Classic)
    {
        ShredRecycleBin(context, shell, layout, disk);
        CHECK(disk.openListings == 0);
        CHECK(context.progressWindow == nullptr);
        CHECK(shell.calls.back() == "unload");
    }
};

using Actions = std::vector<std::string>;

}  // namespace

TEST_CASE("bin folders of each layout")
{
    test::ScriptedChannel channel;
    ShredContext context;
    context.machine.sid = "S-1-5-21-7-8-9-1000";
    std::strcpy(context.machine.drives[2].root, "C:\\");
    context.machine.drives[2].ntfs = true;
    std::strcpy(context.machine.drives[3].root, "D:\\");

    CHECK(BinFolder(context, 2, BinLayout::Classic) == "C:\\Recycler\\S-1-5-21-7-8-9-1000\\");
    CHECK(BinFolder(context, 3, BinLayout::Classic) == "D:\\RECYCLED\\");
    CHECK(BinFolder(context, 2, BinLayout::PerUser) == "C:\\$Recycle.Bin\\S-1-5-21-7-8-9-1000\\");
    CHECK(BinFolder(context, 3, BinLayout::PerUser) == "D:\\$Recycle.Bin\\S-1-5-21-7-8-9-1000\\");
    CHECK(BinFolder(context, 4, BinLayout::PerUser).empty());

    SUBCASE("without a SID the user's own one is read, never the folder of all users")
    {
        context.machine.sid.clear();
        std::string folder = BinFolder(context, 3, BinLayout::PerUser);
        CHECK(folder.rfind("D:\\$Recycle.Bin\\S-1-", 0) == 0);
        CHECK(folder.back() == '\\');
        CHECK(folder.size() > std::strlen("D:\\$Recycle.Bin\\S-1-\\"));
    }
}

TEST_CASE("the bin's own files are never shredded")
{
    struct Case {
        const char* name;
        bool classic, perUser;
    } cases[] = {
        {"INFO2", true, true},        {"info2", true, true},        {"desktop.ini", true, true},
        {"DESKTOP.INI", true, true},  {"$IAB12CD.txt", false, true}, {"$iab12cd", false, true},
        {"$RAB12CD.txt", false, false}, {"Dc1.txt", false, false},   {"INFO2.bak", false, false},
        {"I", false, false},          {"$", false, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CHECK(IsBinIndexFile(c.name, BinLayout::Classic) == c.classic);
        CHECK(IsBinIndexFile(c.name, BinLayout::PerUser) == c.perUser);
    }
}

TEST_CASE("the system's layout follows the reported Windows version")
{
    // The test prefix reports Windows 7 (NT 6.1).
    CHECK(SystemBinLayout() == BinLayout::PerUser);
}

TEST_CASE("a run over two drives: counting, confirmation, shredding, emptying")
{
    Bin bin;
    bin.AddDrive('Q');
    bin.AddDrive('R');
    bin.shell.items = {{'Q', 3}, {'R', 1}};
    bin.disk.AddFolder("Q:\\RECYCLED");
    bin.disk.AddFile("Q:\\RECYCLED\\INFO2");
    bin.disk.AddFile("Q:\\RECYCLED\\Dc1.txt");
    bin.disk.AddFile("Q:\\RECYCLED\\desktop.ini");
    bin.disk.AddFolder("Q:\\RECYCLED\\Dc2");
    bin.disk.AddFile("Q:\\RECYCLED\\Dc2\\f");
    bin.disk.AddFolder("Q:\\RECYCLED\\Dc2\\sub");
    bin.disk.AddFolder("Q:\\RECYCLED\\Dc2\\sub\\deep");
    bin.disk.AddFolder("R:\\RECYCLED");
    bin.disk.AddFile("R:\\RECYCLED\\Dc3");
    bin.Run();

    CHECK(bin.Texts() == std::vector<std::string>{"destroy all?\n"});
    CHECK(bin.channel.questions[0].style == WarningStyle::YesNo);
    CHECK(bin.disk.actions == Actions{"list Q:\\RECYCLED", "shred Q:\\RECYCLED\\Dc1.txt 2", "list Q:\\RECYCLED\\Dc2",
                                      "shred Q:\\RECYCLED\\Dc2\\f 1", "list Q:\\RECYCLED\\Dc2\\sub",
                                      "list Q:\\RECYCLED\\Dc2\\sub\\deep", "list Q:\\RECYCLED\\Dc2\\sub\\deep",
                                      "rename Q:\\RECYCLED\\Dc2\\sub\\deep", "rmdir Q:\\RECYCLED\\Dc2\\sub\\deep (renamed)",
                                      "list R:\\RECYCLED", "shred R:\\RECYCLED\\Dc3 2"});
    // The counting pass queries every drive, then each drive is queried again before it is shredded.
    CHECK(bin.shell.calls == Actions{"load", "query Q:\\", "query R:\\", "query Q:\\", "empty Q:\\", "query R:\\",
                                     "empty R:\\", "unload"});
    CHECK(bin.disk.Exists("Q:\\RECYCLED\\Dc2\\sub"));  // the deleted folder's own subfolders stay, empty
    const auto& progress = bin.channel.progressLog;
    CHECK(std::count(progress.begin(), progress.end(), "caption:Shredding the bin") == 1);
    CHECK(std::count(progress.begin(), progress.end(), "line1:on drive Q") == 1);
    CHECK(std::count(progress.begin(), progress.end(), "line1:on drive R") == 1);
}

TEST_CASE("a stop at a drive names it twice and leaves that bin and every later one")
{
    Bin bin;
    bin.AddDrive('Q');
    bin.AddDrive('R');
    bin.shell.items = {{'Q', 2}, {'R', 1}};
    bin.disk.AddFolder("Q:\\RECYCLED");
    bin.disk.AddFolder("R:\\RECYCLED");
    bin.disk.AddFile("R:\\RECYCLED\\Dc3");

    SUBCASE("ShredFile answers stop")
    {
        bin.disk.AddFile("Q:\\RECYCLED\\Dc1");
        bin.disk.stopAt.insert("Q:\\RECYCLED\\Dc1");
    }
    SUBCASE("the progress window's cancel during a file")
    {
        bin.disk.AddFile("Q:\\RECYCLED\\Dc1");
        bin.disk.stopRequestAt.insert("Q:\\RECYCLED\\Dc1");
    }
    SUBCASE("the progress window's cancel during a deleted folder")
    {
        bin.disk.AddFolder("Q:\\RECYCLED\\Dc0");
        bin.disk.AddFile("Q:\\RECYCLED\\Dc0\\x");
        bin.disk.AddFile("Q:\\RECYCLED\\Dc0\\y");
        bin.disk.stopRequestAt.insert("Q:\\RECYCLED\\Dc0\\x");
    }
    bin.disk.AddFile("Q:\\RECYCLED\\Dc2");
    bin.Run();
    // Plain replacement of every "%c"; other markers stay as written.
    CHECK(bin.Texts().back() == "stopped at Q:\nbin Q: kept %s %d %u");
    CHECK(bin.channel.questions.back().style == WarningStyle::Error);
    CHECK(bin.shell.Count("empty Q:\\") == 0);
    CHECK(bin.shell.Count("query R:\\") == 1);  // counted, never visited
    CHECK(bin.disk.Exists("Q:\\RECYCLED\\Dc2"));
    CHECK(bin.disk.Exists("R:\\RECYCLED\\Dc3"));
    CHECK(bin.context.stopRequest != 0);
}

TEST_CASE("runs that end before shredding")
{
    SUBCASE("empty bins: 9015 in style 4, no progress window")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.Run();
        CHECK(bin.Texts() == std::vector<std::string>{"bin empty#"});
        CHECK(bin.channel.questions[0].style == WarningStyle::Error);
        CHECK(bin.channel.progressLog.empty());
        CHECK(bin.disk.actions.empty());
    }
    SUBCASE("a failed query ends the counting; drives counted before it still count")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.AddDrive('R');
        bin.AddDrive('S');
        bin.shell.items = {{'Q', 1}, {'S', 5}};
        bin.shell.failures = {{'R', E_FAIL}};
        bin.disk.AddFolder("Q:\\RECYCLED");
        bin.disk.AddFile("Q:\\RECYCLED\\Dc1");
        bin.Run();
        CHECK(bin.Texts()[0] == "cannot query\ncode: 80004005");
        CHECK(bin.channel.questions[0].style == WarningStyle::Notice);
        CHECK(bin.shell.Count("query S:\\") == 1);  // only in the shredding pass
        CHECK(bin.shell.Count("empty Q:\\") == 1);
        CHECK(bin.shell.Count("empty R:\\") == 0);
    }
    SUBCASE("a failed query first: nothing counted")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.AddDrive('R');
        bin.shell.items = {{'R', 4}};
        bin.shell.failures = {{'Q', E_ACCESSDENIED}};
        bin.Run();
        CHECK(bin.Texts() == std::vector<std::string>{"cannot query\ncode: 80070005", "bin empty#"});
    }
    SUBCASE("the shell without the functions: 9014 and nothing else")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.shell.loadResult = RecycleBinShell::LoadResult::NoFunctions;
        bin.Run();
        CHECK(bin.Texts() == std::vector<std::string>{"no shell functions"});
        CHECK(bin.shell.calls == Actions{"load", "unload"});
    }
    SUBCASE("no shell library: nothing, without a message")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.shell.loadResult = RecycleBinShell::LoadResult::NoLibrary;
        bin.Run();
        CHECK(bin.channel.questions.empty());
        CHECK(bin.shell.calls == Actions{"load", "unload"});
    }
    SUBCASE("No to the confirmation")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.shell.items = {{'Q', 1}};
        bin.channel.answers = {Answer::No};
        bin.Run();
        CHECK(bin.disk.actions.empty());
        CHECK(bin.shell.Count("empty Q:\\") == 0);
        CHECK(bin.channel.progressLog.empty());
    }
    SUBCASE("the progress window cannot be made")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.shell.items = {{'Q', 1}};
        bin.channel.failProgress = true;
        bin.Run();
        CHECK(bin.disk.actions.empty());
        CHECK(bin.shell.Count("empty Q:\\") == 0);
    }
}

TEST_CASE("a silent run asks nothing and logs what it reports")
{
    Bin bin;
    bin.context.silent = true;
    bin.AddDrive('Q');
    bin.AddDrive('R');
    bin.shell.items = {{'Q', 1}, {'R', 1}};
    bin.disk.AddFolder("R:\\RECYCLED");
    bin.Run();
    CHECK(bin.channel.questions.empty());
    // Q's bin cannot be listed: reported, not emptied; R goes on.
    CHECK(test::ReadFileBytes(bin.install / "log.txt") == "missing\r\nQ:\\RECYCLED\\\r\n\r\n");
    CHECK(bin.shell.Count("empty Q:\\") == 0);
    CHECK(bin.shell.Count("empty R:\\") == 1);
}

TEST_CASE("the per-user layout keeps its $I index files")
{
    Bin bin;
    bin.AddDrive('Q', true);
    bin.shell.items = {{'Q', 2}};
    const std::string folder = "Q:\\$Recycle.Bin\\S-1-5-21-7-8-9-1000";
    bin.disk.AddFolder(folder);
    bin.disk.AddFile(folder + "\\$IAB12CD.txt");
    bin.disk.AddFile(folder + "\\$RAB12CD.txt");
    bin.disk.AddFile(folder + "\\desktop.ini");
    bin.disk.AddFolder(folder + "\\$REF34GH");
    bin.disk.AddFile(folder + "\\$REF34GH\\inner.doc");
    bin.Run(BinLayout::PerUser);
    CHECK(bin.disk.actions == Actions{"list " + folder, "shred " + folder + "\\$RAB12CD.txt 2", "list " + folder + "\\$REF34GH",
                                      "shred " + folder + "\\$REF34GH\\inner.doc 1"});
}

TEST_CASE("links in a bin are removed, never followed")
{
    Bin bin;
    bin.AddDrive('Q');
    bin.shell.items = {{'Q', 2}};
    bin.disk.AddFolder("Q:\\RECYCLED");
    bin.disk.AddFolderLink("Q:\\RECYCLED\\Dc1");
    bin.disk.AddFile("Q:\\RECYCLED\\Dc1\\target.doc");
    bin.disk.AddFileLink("Q:\\RECYCLED\\Dc2.lnk");
    bin.Run();
    CHECK(bin.disk.actions ==
          Actions{"list Q:\\RECYCLED", "unlink-dir Q:\\RECYCLED\\Dc1", "unlink-file Q:\\RECYCLED\\Dc2.lnk"});
    CHECK(bin.Texts() == std::vector<std::string>{"destroy all?\n", "link\nQ:\\RECYCLED\\Dc1", "link\nQ:\\RECYCLED\\Dc2.lnk"});
}

TEST_CASE("the parent window is disabled for the run and enabled again")
{
    Bin bin;
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(parent != nullptr);
    bin.context.parentWindow = parent;
    bin.AddDrive('Q');
    bin.shell.items = {{'Q', 1}};
    bin.disk.AddFolder("Q:\\RECYCLED");
    bin.disk.AddFile("Q:\\RECYCLED\\Dc1");
    bin.disk.stopAt.insert("Q:\\RECYCLED\\Dc1");
    bin.Run();
    CHECK(IsWindowEnabled(parent));
    DestroyWindow(parent);
}

TEST_CASE("ShredRecycleBinNow shows the alert until it is switched off")
{
    SUBCASE("OK with the box ticked stores the choice and shreds")
    {
        Bin bin;
        bin.AddDrive('Q');
        bin.channel.noticeDontShowAgain = true;
        ShredRecycleBinNow(bin.context, bin.shell, BinLayout::Classic, bin.disk);
        REQUIRE(bin.channel.notices.size() == 1);
        CHECK(bin.channel.notices[0].mode == NoticeMode::RecycleBin);
        CHECK(bin.channel.notices[0].text == "bin alert");
        CHECK(bin.channel.notices[0].title == "Title");
        CHECK(Settings::ReadNumber("BinAlertDisabled", 0) == 1);
        CHECK(bin.shell.Count("load") == 1);
    }
    SUBCASE("OK without the box shreds and stores nothing")
    {
        Bin bin;
        ShredRecycleBinNow(bin.context, bin.shell, BinLayout::Classic, bin.disk);
        CHECK(bin.channel.notices.size() == 1);
        CHECK_FALSE(test::ValueExists("BinAlertDisabled"));
        CHECK(bin.shell.Count("load") == 1);
    }
    SUBCASE("closed any other way: nothing shredded, nothing stored, also in silent mode")
    {
        Bin bin;
        bin.context.silent = true;
        bin.channel.noticeDontShowAgain = true;
        bin.channel.answers = {Answer::Cancel};
        ShredRecycleBinNow(bin.context, bin.shell, BinLayout::Classic, bin.disk);
        CHECK(bin.channel.notices.size() == 1);
        CHECK(bin.shell.calls.empty());
        CHECK_FALSE(test::ValueExists("BinAlertDisabled"));
    }
    SUBCASE("switched off: no alert")
    {
        Bin bin;
        Settings::WriteNumber("BinAlertDisabled", 1);
        ShredRecycleBinNow(bin.context, bin.shell, BinLayout::Classic, bin.disk);
        CHECK(bin.channel.notices.empty());
        CHECK(bin.shell.Count("load") == 1);
    }
}
