#include "common/Settings.h"
#include "app/ShredApp.h"
#include "engine/Reporting.h"
#include "engine/ShredLog.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

namespace {

struct LogFixture {
    test::FreshSettings settings;
    test::TempFolder folder{"log"};
    LogFixture() { Settings::WriteString("AppPath", folder.Path()); }
    std::string Log() const { return test::ReadFileBytes(folder / "log.txt"); }
};

}  // namespace

TEST_CASE("entries are appended with CR LF line ends")
{
    LogFixture fixture;
    ShredContext context;
    WriteTaskLine("Weekly");
    LogMessage(context, "First line\nsecond line\nthird line");
    CHECK(context.logText == "First line\nsecond line\nthird line");
    LogMessage(context, "Another");
    CHECK(fixture.Log() ==
          "Task Name: Weekly\r\n"
          "First line\r\nsecond line\r\nthird line\r\n\r\n"
          "Another\r\n\r\n");
}

TEST_CASE("the log is appended to, never truncated")
{
    LogFixture fixture;
    test::WriteFileBytes(fixture.folder / "log.txt", "earlier run\r\n\r\n");
    WriteTaskLine("Again");
    CHECK(fixture.Log() == "earlier run\r\n\r\nTask Name: Again\r\n");
}

TEST_CASE("exit of a silent run that logged nothing writes Success; other runs write nothing")
{
    LogFixture fixture;
    {
        ShredApp app;
        app.ParseCommandLine("\"/s\" \"Free C\" \"/O0\" \"/T3\" \"C:\\\"");
        CHECK(app.ExitInstance() == 0);
    }
    CHECK(fixture.Log() == "Task Name: Free C\r\nSuccess\r\n\r\n");
    {
        ShredApp app;
        app.ParseCommandLine("\"/s\" \"Files\" \"C:\\gone.txt\"");
        LogMessage(app.context, "The file\nC:\\gone.txt\nno longer exists.");
        app.ExitInstance();
    }
    CHECK(fixture.Log() ==
          "Task Name: Free C\r\nSuccess\r\n\r\n"
          "Task Name: Files\r\nThe file\r\nC:\\gone.txt\r\nno longer exists.\r\n\r\n");
    std::string before = fixture.Log();
    {
        ShredApp app;
        app.ParseCommandLine("C:\\x");
        app.ExitInstance();
    }
    CHECK(fixture.Log() == before);
}

TEST_CASE("an entry that cannot be written is lost without harm")
{
    test::FreshSettings settings;
    test::TempFolder folder("log");
    Settings::WriteString("AppPath", folder / "missing-folder");
    ShredContext context;
    LogMessage(context, "lost");
    CHECK_FALSE(test::FileExists(folder / "missing-folder\\log.txt"));

    // A log file locked by another program.
    Settings::WriteString("AppPath", folder.Path());
    HANDLE locked = CreateFileA((folder / "log.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr);
    REQUIRE(locked != INVALID_HANDLE_VALUE);
    LogMessage(context, "also lost");
    CloseHandle(locked);
    CHECK(test::ReadFileBytes(folder / "log.txt").empty());

    // An installation folder too long for a path: nothing is written anywhere.
    Settings::WriteString("AppPath", "C:\\" + std::string(300, 'z'));
    CHECK(LogFilePath().empty());
    LogMessage(context, "lost again");
}

TEST_CASE("without an installation folder the log is at the root of the current drive")
{
    test::FreshSettings settings;
    CHECK(LogFilePath() == "\\log.txt");
}
