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

TEST_CASE("exit of a silent run that was stopped or left something undone never writes Success")
{
    LogFixture fixture;
    const std::string stopped =
        "Shredding was stopped before the task was done. Not everything it names has been shredded.\r\n\r\n";
    {
        ShredApp app;
        app.context.appPath = test::DistFolder();
        app.ParseCommandLine("\"/s\" \"Cancelled\" \"C:\\x\"");
        app.context.stopRequest = 1;
        app.ExitInstance();
    }
    {
        ShredApp app;
        app.context.appPath = test::DistFolder();
        app.ParseCommandLine("\"/s\" \"Undone\" \"C:\\x\"");
        app.context.incomplete = true;
        app.ExitInstance();
    }
    {
        // What was logged says it already.
        ShredApp app;
        app.context.appPath = test::DistFolder();
        app.ParseCommandLine("\"/s\" \"Said\" \"C:\\x\"");
        app.context.incomplete = true;
        LogMessage(app.context, "The file was not deleted.");
        app.ExitInstance();
    }
    CHECK(fixture.Log() == "Task Name: Cancelled\r\n" + stopped + "Task Name: Undone\r\n" + stopped +
                               "Task Name: Said\r\nThe file was not deleted.\r\n\r\n");
}

TEST_CASE("an entry that cannot be written is lost without harm")
{
    test::FreshSettings settings;
    test::TempFolder folder("log");
    ShredContext context;

    // A folder where the log file should be.
    Settings::WriteString("AppPath", folder.Path());
    REQUIRE(CreateDirectoryA((folder / "log.txt").c_str(), nullptr));
    LogMessage(context, "lost");
    CHECK(RemoveDirectoryA((folder / "log.txt").c_str()));

    // A log file locked by another program.
    HANDLE locked = CreateFileA((folder / "log.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr);
    REQUIRE(locked != INVALID_HANDLE_VALUE);
    LogMessage(context, "also lost");
    CloseHandle(locked);
    CHECK(test::ReadFileBytes(folder / "log.txt").empty());
}

TEST_CASE("without a usable installation folder the log is in the program's folder, never at a drive's root")
{
    test::FreshSettings settings;
    const std::string own = Settings::ModuleFolder() + "\\log.txt";
    CHECK(LogFilePath() == own);
    Settings::WriteString("AppPath", "");
    CHECK(LogFilePath() == own);
    Settings::WriteString("AppPath", "C:\\no such folder");
    CHECK(LogFilePath() == own);
    Settings::WriteString("AppPath", "C:\\" + std::string(300, 'z'));
    CHECK(LogFilePath() == own);
}

TEST_CASE("control characters of a task name are written as blanks")
{
    LogFixture fixture;
    WriteTaskLine("Night\nFAKE: Success\r\n\tend\x7f");
    WriteTaskLine("Caf\xe9 \xa0\x80");  // letters of the code page stay
    CHECK(fixture.Log() == "Task Name: Night FAKE: Success   end \r\nTask Name: Caf\xe9 \xa0\x80\r\n");
}
