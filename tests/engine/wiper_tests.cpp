#include "engine/FileShredder.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"
#include "tests/engine/EngineFixture.h"

#include "common/ScopedWin.h"

#include <doctest/doctest.h>

using test::EngineFixture;
using test::FileExists;

namespace {

ULONGLONG fakeAvailable, fakeTotalFree;

BOOL WINAPI FakeFreeSpaceEx(LPCSTR, PULARGE_INTEGER caller, PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    caller->QuadPart = fakeAvailable;
    total->QuadPart = fakeTotalFree * 2;
    totalFree->QuadPart = fakeTotalFree;
    return TRUE;
}

// A wipe whose "drive" is a temporary folder and whose free space is what the test says.
struct WipeFixture : EngineFixture {
    std::string root;
    std::string work;
    WipeFixture(ULONGLONG available, ULONGLONG totalFree)
    {
        fakeAvailable = available;
        fakeTotalFree = totalFree;
        context.machine.getDiskFreeSpaceEx = FakeFreeSpaceEx;
        root = folder.Path() + "\\";
        work = root + "SHREDTMP.$$$";
    }
    bool WorkFolderExists() const { return FileExists(work); }
    std::vector<std::string> Questions() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
};

std::string Expanded(const EngineFixture& fixture, int key)
{
    return MessageText::ExpandLineBreaks(fixture.Text(key));
}

}  // namespace

TEST_CASE("wipe: the confirmation and the old-system notice")
{
    SUBCASE("declined: nothing is created")
    {
        WipeFixture fixture(100 << 20, 100 << 20);
        fixture.channel.answers.push_back(Answer::Cancel);
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 1);
        CHECK(fixture.channel.questions[0].style == WarningStyle::ContinueStop);
        CHECK(fixture.channel.questions[0].size == DialogSize::Big);
        CHECK(fixture.channel.questions[0].text == Expanded(fixture, 9027));
        CHECK(fixture.channel.questions[0].title == fixture.Text(9063));
        CHECK_FALSE(fixture.WorkFolderExists());
        CHECK(fixture.channel.progressLog.empty());
    }
    SUBCASE("old system, interactive: the notice comes first")
    {
        WipeFixture fixture(100 << 20, 100 << 20);
        fixture.context.machine.versionFlag = true;
        fixture.channel.answers = {Answer::Positive, Answer::No};
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 2);
        CHECK(fixture.channel.questions[0].style == WarningStyle::Error);
        CHECK(fixture.channel.questions[0].text == Expanded(fixture, 9026));
        CHECK(fixture.channel.questions[1].text == Expanded(fixture, 9027));
    }
    SUBCASE("old system, silent: neither shown nor logged")
    {
        WipeFixture fixture(0, 0);
        fixture.context.machine.versionFlag = true;
        fixture.UseSilentJob(0, 3);
        WipeFreeSpace(fixture.context, fixture.root);
        CHECK(fixture.channel.questions.empty());
        CHECK(fixture.Log() == "Drive " + fixture.root.substr(0, 1) + ": has no free space to wipe.\r\n\r\n");
    }
}

TEST_CASE("wipe: no space, quota, no memory and no work folder end the wipe with their message")
{
    SUBCASE("no free space at all")
    {
        WipeFixture fixture(0, 0);
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 2);
        CHECK(fixture.channel.questions[1].style == WarningStyle::Notice);
        CHECK(fixture.channel.questions[1].text == "Drive " + fixture.root.substr(0, 1) + ": has no free space to wipe.");
        CHECK_FALSE(fixture.WorkFolderExists());
    }
    SUBCASE("free space, none of it available")
    {
        WipeFixture fixture(0, 5 << 20);
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 2);
        MessageText::Values values;
        char drive[2] = {fixture.root[0], 0};
        values.c = drive;
        CHECK(fixture.channel.questions[1].text == MessageText::Compose(fixture.Text(9045), values));
        CHECK_FALSE(fixture.WorkFolderExists());
    }
    SUBCASE("quota declined")
    {
        WipeFixture fixture(5 << 20, 9 << 20);
        fixture.channel.answers = {Answer::Positive, Answer::No};
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 2);
        CHECK(fixture.channel.questions[1].style == WarningStyle::YesNo);
        CHECK(fixture.channel.questions[1].text == Expanded(fixture, 9033));
        CHECK_FALSE(fixture.WorkFolderExists());
        CHECK(fixture.channel.progressLog.empty());
    }
    SUBCASE("quota in silent mode: logged, and the wipe runs")
    {
        WipeFixture fixture(5 << 20, 9 << 20);
        fixture.UseSilentJob(0, 3);
        fixture.channel.stopAtPump = 1;
        WipeFreeSpace(fixture.context, fixture.root);
        CHECK(fixture.channel.questions.empty());
        CHECK(fixture.Log() == "Not all free space on this drive can be wiped: a disk quota limits the space you may use. "
                               "Wipe the space available to you?\r\n\r\n");
        CHECK(fixture.channel.pumps == 1);
        CHECK_FALSE(fixture.WorkFolderExists());
    }
    SUBCASE("records that cannot be allocated")
    {
        WipeFixture fixture(1ull << 62, 1ull << 62);
        WipeFreeSpace(fixture.context, fixture.root);
        REQUIRE(fixture.channel.questions.size() == 2);
        CHECK(fixture.channel.questions[1].style == WarningStyle::Error);
        CHECK(fixture.channel.questions[1].text == Expanded(fixture, 9006));
        CHECK_FALSE(fixture.WorkFolderExists());
    }
    SUBCASE("the work folder cannot be created")
    {
        WipeFixture fixture(100 << 20, 100 << 20);
        WipeFreeSpace(fixture.context, fixture.folder / "missing\\");
        REQUIRE(fixture.channel.questions.size() == 2);
        CHECK(fixture.channel.questions[1].text == Expanded(fixture, 9012));
        CHECK(fixture.channel.progressLog.empty());
    }
    SUBCASE("the progress window cannot be opened")
    {
        WipeFixture fixture(100 << 20, 100 << 20);
        fixture.channel.failProgress = true;
        WipeFreeSpace(fixture.context, fixture.root);
        CHECK(fixture.channel.alerts.size() == 1);
        CHECK_FALSE(fixture.WorkFolderExists());
    }
}

TEST_CASE("wipe: cancel during the fill deletes every file and the folder and skips the overwrite")
{
    for (int method : {0, 1}) {
        CAPTURE(method);
        // 3 GiB available: four files planned.
        WipeFixture fixture(3ull << 30, 3ull << 30);
        fixture.UseMethod(method, 2);
        fixture.channel.stopAtPump = 3;
        WipeFreeSpace(fixture.context, fixture.root);
        CHECK_FALSE(fixture.WorkFolderExists());
        CHECK(test::ListFolder(fixture.folder.Path()).empty());
        CHECK_FALSE(fixture.context.progressWindow);
        CHECK(fixture.channel.pumps == 3);
        CHECK(fixture.channel.stopRequest != nullptr);
        CHECK(fixture.context.incomplete);  // the rest of the free space was never reached

        std::string step = fixture.Text(method ? 9916 : 9915);
        std::string wait = fixture.Text(9910);
        std::vector<std::string> expected = {
            "open",
            "caption:" + fixture.Text(9917) + " " + fixture.root.substr(0, 2),
            "line1:" + fixture.Text(9908),
            "line2:" + fixture.Text(9909),
            "line3:" + wait,
            "range:4",
            "pos:0",
            "show",
            "line1:" + step + " (step 1 of 5)",
            "range:16384",
            "pos:0",
            "pos:1",
            "pos:2",
            "pos:3",
            "cancel",
            "line1:" + wait,
            "line2:" + wait,
            "line3:",
            "range:4",
            "pos:0",
            "pos:1",
            "pos:2",
            "pos:3",
            "pos:4",
        };
        CHECK(fixture.channel.progressLog == expected);
    }
}

TEST_CASE("wipe: a work folder left from an earlier run is reused and its files replaced")
{
    WipeFixture fixture(100 << 20, 100 << 20);
    REQUIRE(CreateDirectoryA(fixture.work.c_str(), nullptr));
    test::WriteFileBytes(fixture.work + "\\SHRED000.TMP", std::string(200000, 'M'));
    fixture.channel.stopAtPump = 1;
    WipeFreeSpace(fixture.context, fixture.root);
    CHECK(fixture.channel.questions.size() == 1);  // the confirmation only
    CHECK_FALSE(fixture.WorkFolderExists());
}

TEST_CASE("wipe: a work folder name taken by a file is not used, and nothing is written")
{
    for (bool silent : {false, true}) {
        CAPTURE(silent);
        WipeFixture fixture(3ull << 30, 3ull << 30);
        if (silent)
            fixture.UseSilentJob(0, 1);
        test::WriteFileBytes(fixture.work, "someone's data");
        fixture.channel.stopAtPump = 1;  // a guard: the wipe must not start at all
        WipeFreeSpace(fixture.context, fixture.root);
        std::string text = MessageText::WithPath(fixture.Text(9245), fixture.work);
        CHECK(fixture.channel.pumps == 0);
        CHECK(test::ReadFileBytes(fixture.work) == "someone's data");
        CHECK_FALSE(fixture.context.progressWindow);
        if (silent) {
            CHECK(fixture.context.logText == text);
        } else {
            REQUIRE(fixture.channel.questions.size() == 2);  // the confirmation, then this
            CHECK(fixture.channel.questions[1].text == text);
            CHECK(fixture.channel.questions[1].style == WarningStyle::Notice);
        }
    }
}

namespace {

HWND parentSeenDisabled = nullptr;
bool parentWasDisabled = false;

void WatchParent(test::CancelChannel&)
{
    parentWasDisabled = !IsWindowEnabled(parentSeenDisabled);
}

}  // namespace

TEST_CASE("wipe: the parent window is disabled while it runs and enabled afterwards")
{
    WipeFixture fixture(100 << 20, 100 << 20);
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    REQUIRE(parent != nullptr);
    fixture.context.parentWindow = parent;
    parentSeenDisabled = parent;
    parentWasDisabled = false;
    fixture.channel.onPump = WatchParent;
    fixture.channel.stopAtPump = 2;
    WipeFreeSpace(fixture.context, fixture.root);
    CHECK(parentWasDisabled);
    CHECK(IsWindowEnabled(parent));
    CHECK_FALSE(fixture.context.progressWindow);
    DestroyWindow(parent);
}

TEST_CASE("fill of one wipe file: blocks counted until the stop request")
{
    EngineFixture fixture;
    REQUIRE(AcquireProgressWindow(fixture.context));
    FillPattern(fixture.context, FillKind::Zero);
    WipeFileRecord record;
    record.displayName = fixture.folder / "SHRED000.TMP";
    record.file = CreateFileA(record.displayName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    REQUIRE(record.file != INVALID_HANDLE_VALUE);
    fixture.channel.stopAtPump = 5;
    CHECK(FillWipeFile(fixture.context, record) == FillResult::Stopped);
    CHECK(record.size == 5 * 65536ull);
    CloseHandle(record.file);
    CHECK(test::ReadFileBytes(record.displayName) == std::string(5 * 65536, '\0'));
}

TEST_CASE("shredding a wipe file overwrites it through its handle and leaves it open and whole")
{
    EngineFixture fixture;
    fixture.UseMethod(1, 1);
    WipeFileRecord record;
    record.displayName = fixture.folder / "SHRED001.TMP";
    test::WriteFileBytes(record.displayName, std::string(150000, 'M'));
    record.file = CreateFileA(record.displayName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    REQUIRE(record.file != INVALID_HANDLE_VALUE);
    record.size = 150000;

    CHECK(OverwriteWipeFile(fixture.context, record, 2, 5) == Flow::GoOn);
    CHECK(fixture.channel.Count("line1:" + record.displayName + " (file 2 of 5)") == 1);
    CHECK(fixture.channel.Count("line2:") == 3);

    std::string bytes = test::ReadFileBytes(record.displayName);
    CHECK(bytes.size() == 150000);
    CHECK(bytes.find("MMMM") == std::string::npos);
    DWORD written = 0;
    CHECK(WriteFile(record.file, "x", 1, &written, nullptr));  // still open, still ours
    CHECK(CloseHandle(record.file));
}
