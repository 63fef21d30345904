#include "common/Settings.h"
#include "app/ShredApp.h"
#include "engine/UserChannel.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

namespace {

struct StartFixture {
    test::FreshSettings settings;
    test::TempFolder folder{"start"};
    test::ScriptedChannel channel;

    StartFixture() { test::WritePack(folder.Path(), "English", "9606=Vantor Test Title\r\n9065=Already#running\r\n"); }
    void Install() { Settings::WriteString("AppPath", folder.Path()); }
};

// An application started with `commandLine` in an installed fixture.
struct StartedApp {
    StartFixture fixture;
    ShredApp app;
    bool started;

    explicit StartedApp(const char* commandLine)
    {
        fixture.Install();
        app.context.channel = &fixture.channel;
        app.components = &test::Installed();
        started = app.InitInstance(commandLine);
    }
};

}  // namespace

TEST_CASE("an interactive start stores the program's folder when AppPath is missing")
{
    StartFixture fixture;
    ShredApp app;
    app.context.channel = &fixture.channel;
    app.components = &test::Installed();
    REQUIRE(app.InitInstance(""));
    CHECK(app.context.appPath == ProgramFolder());
    CHECK(Settings::ReadString("AppPath", "") == ProgramFolder());
    CHECK(app.context.transferBuffer != nullptr);
    CHECK(fixture.channel.questions.empty());
    app.ExitInstance();
}

TEST_CASE("a command-line job never creates AppPath")
{
    StartFixture fixture;
    ShredApp app;
    app.context.channel = &fixture.channel;
    app.components = &test::Installed();
    REQUIRE(app.InitInstance("C:\\nothing.txt"));
    CHECK(app.context.appPath == ProgramFolder());  // for its files, without storing it
    CHECK_FALSE(test::ValueExists("AppPath"));
    CHECK(app.context.title == "Error");
    CHECK(app.items.size() == 1);
}

TEST_CASE("a second interactive start is refused; jobs run beside it")
{
    StartFixture fixture;
    fixture.Install();
    ShredApp first;
    first.context.channel = &fixture.channel;
    first.components = &test::Installed();
    REQUIRE(first.InitInstance(""));
    CHECK(first.context.title == "Vantor Test Title");
    CHECK(first.HoldsInstanceMutex());

    ShredApp second;
    second.context.channel = &fixture.channel;
    second.components = &test::Installed();
    CHECK_FALSE(second.InitInstance(""));
    REQUIRE(fixture.channel.questions.size() == 1);
    CHECK(fixture.channel.questions[0].style == WarningStyle::Error);
    CHECK(fixture.channel.questions[0].text == "Already\nrunning");
    CHECK(fixture.channel.questions[0].title == "Vantor Test Title");

    ShredApp job;
    job.context.channel = &fixture.channel;
    job.components = &test::Installed();
    CHECK(job.InitInstance("\"C:\\x\""));
    CHECK_FALSE(job.HoldsInstanceMutex());
    CHECK(fixture.channel.questions.size() == 1);
}

TEST_CASE("the instance ends with the first one")
{
    StartFixture fixture;
    fixture.Install();
    {
        ShredApp first;
        first.context.channel = &fixture.channel;
        first.components = &test::Installed();
        REQUIRE(first.InitInstance(""));
    }
    ShredApp again;
    again.context.channel = &fixture.channel;
    again.components = &test::Installed();
    CHECK(again.InitInstance(""));
}

TEST_CASE("drive table, protected folders and free-space functions")
{
    StartedApp started("C:\\x");
    REQUIRE(started.started);
    const ShredApp& app = started.app;

    CHECK(std::string(app.context.machine.drives['C' - 'A'].root) == "C:\\");
    DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        CAPTURE(letter);
        const DriveEntry& drive = app.context.machine.drives[letter];
        if (!(mask & (1u << letter))) {
            CHECK(drive.root[0] == '\0');
            CHECK_FALSE(drive.ntfs);
        } else if (drive.root[0]) {
            CHECK(drive.root[0] == 'A' + letter);
            CHECK(std::string(drive.root + 1) == ":\\");
        }
    }

    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    CHECK(app.context.machine.protectedFolders[0] == windows);
    CHECK(app.context.machine.protectedFolders[1] == system);
    CHECK(app.context.machine.protectedFolders[6] == std::string(system) + "\\IOSUBSYS");
    CHECK(app.context.machine.protectedFolders[7] == std::string(system) + "\\VMM32");
    for (int i = 2; i < 6; ++i)
        CHECK_FALSE(app.context.machine.protectedFolders[i].empty());

    CHECK(bool(app.context.machine.getDiskFreeSpaceEx));
    CHECK_FALSE(bool(app.context.machine.getDiskFreeSpace));
    CHECK(app.shellRecycleSupport);
}

TEST_CASE("the user's identifier is read when some drive is NTFS and the shell can empty bins")
{
    StartedApp started("C:\\x");
    REQUIRE(started.started);
    const ShredApp& app = started.app;
    bool someNtfs = false;
    for (const DriveEntry& drive : app.context.machine.drives)
        someNtfs = someNtfs || drive.ntfs;
    if (someNtfs && app.shellRecycleSupport)
        CHECK(app.context.machine.sid.rfind("S-1-", 0) == 0);
    else
        CHECK(app.context.machine.sid.empty());
}

TEST_CASE("a start-up failure in a silent run is logged, and no Success follows")
{
    StartFixture fixture;
    fixture.Install();
    ShredApp first;
    first.context.channel = &fixture.channel;
    first.components = &test::Installed();
    REQUIRE(first.InitInstance(""));

    // A silent start without items is interactive and meets the running instance.
    ShredApp silent;
    silent.context.channel = &fixture.channel;
    silent.components = &test::Installed();
    CHECK_FALSE(silent.InitInstance("/s Nightly"));
    silent.ExitInstance();
    CHECK(fixture.channel.questions.empty());
    CHECK(test::ReadFileBytes(fixture.folder / "log.txt") == "Task Name: Nightly\r\nAlready\r\nrunning\r\n\r\n");
}

// Run by platform_versions.sh (with --no-skip) with Wine told to report another Windows version;
// a plain run of the program reports it as skipped.
TEST_CASE("the version flag and the identifier follow the platform" * doctest::skip())
{
    char expected[8];
    REQUIRE(GetEnvironmentVariableA("NW_EXPECT_VERSION_FLAG", expected, sizeof(expected)) > 0);
    StartedApp started("C:\\x");
    REQUIRE(started.started);
    const ShredApp& app = started.app;
    CHECK(app.context.machine.versionFlag == (expected[0] == '1'));
    char nt[8] = "";
    GetEnvironmentVariableA("NW_EXPECT_NT", nt, sizeof(nt));
    if (nt[0] == '0')
        CHECK(app.context.machine.sid.empty());
}

TEST_CASE("a silent job's pass count outside 1 to 10 is corrected at start-up, and the log says so")
{
    struct Case {
        const char* line;
        int stored;  // 0: none
        int passes;
        const char* log;  // after the task line
    } cases[] = {
        {"\"/s\" \"T\" \"/O1\" \"/T0\" \"C:\\x\"", 0, 3, "given 0, used 3\r\n\r\n"},
        {"\"/s\" \"T\" \"/O1\" \"C:\\x\"", 7, 7, "none given, used 7\r\n\r\n"},
        {"\"/s\" \"T\" \"/O1\" \"/T-2\" \"C:\\x\"", 11, 3, "given -2, used 3\r\n\r\n"},
        {"\"/s\" \"T\" \"/O1\" \"/T12\" \"C:\\x\"", 5, 10, "given 12, used 10\r\n\r\n"},
        {"\"/s\" \"T\" \"/O1\" \"/T10\" \"C:\\x\"", 0, 10, ""},
        {"\"/s\" \"T\" \"/O0\" \"/T0\" \"C:\\x\"", 0, 3, ""},  // a quick job does not use it
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.line));
        StartFixture fixture;
        fixture.Install();
        test::WritePack(fixture.folder.Path(), "English", "9240=none given, used %u\r\n9241=given %s, used %u\r\n");
        if (c.stored)
            Settings::WriteNumber("PassCount", c.stored);
        ShredApp app;
        app.context.channel = &fixture.channel;
        app.components = &test::Installed();
        REQUIRE(app.InitInstance(c.line));
        CHECK(app.context.job.passCount == c.passes);
        CHECK(app.context.PassCount() == c.passes);
        CHECK(test::ReadFileBytes(fixture.folder / "log.txt") == std::string("Task Name: T\r\n") + c.log);
    }
}
