#include "engine/FileShredder.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"
#include "tests/engine/EngineFixture.h"

#include "common/ScopedWin.h"

#include <doctest/doctest.h>

#include <algorithm>

using test::Attributes;
using test::EngineFixture;
using test::FileExists;
using test::MakeFile;

namespace test {

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    AutoFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find)
        return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

}  // namespace test

namespace {

std::vector<std::string> Positions(const test::CancelChannel& channel)
{
    std::vector<std::string> positions;
    for (const std::string& entry : channel.progressLog)
        if (entry.compare(0, 4, "pos:") == 0 || entry.compare(0, 6, "range:") == 0)
            positions.push_back(entry);
    return positions;
}

}  // namespace

TEST_CASE("quick shred: sizes at the block edges are overwritten, cut, renamed and deleted")
{
    struct Case {
        size_t size;
        std::vector<std::string> progress;
    };
    const Case cases[] = {
        {0, {"range:1", "pos:0", "pos:1"}},
        {1, {"range:1", "pos:0", "pos:1"}},
        {65535, {"range:1", "pos:0", "pos:1"}},
        {65536, {"range:2", "pos:0", "pos:1", "pos:2"}},
        {150000, {"range:3", "pos:0", "pos:1", "pos:2", "pos:3"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.size);
        EngineFixture fixture;
        REQUIRE(fixture.Text(9903) != "Error");  // the English pack of this build is found
        fixture.UseMethod(0, 5);  // quick ignores the pass count
        std::string path = MakeFile(fixture.folder / "data.bin", c.size);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK_FALSE(FileExists(path));
        CHECK(test::ListFolder(fixture.folder.Path()).empty());
        CHECK(Positions(fixture.channel) == c.progress);
        CHECK(fixture.channel.questions.empty());
        CHECK(fixture.channel.Count("line2:" + fixture.Text(9903)) == 1);
        CHECK(fixture.channel.Count("line3:" + fixture.Text(9904)) == 1);
        CHECK(fixture.channel.Count("line1:" + path) == 1);
    }
}

TEST_CASE("thorough shred: three steps per pass, the bar running through every step")
{
    EngineFixture fixture;
    fixture.UseMethod(1, 2);
    std::string path = MakeFile(fixture.folder / "report.final.txt", 150000);
    CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
    CHECK_FALSE(FileExists(path));
    CHECK(test::ListFolder(fixture.folder.Path()).empty());

    std::vector<std::string> expected = {"open", "show", "line1:" + path, "range:3", "pos:0"};
    for (int pass = 1; pass <= 2; ++pass) {
        expected.push_back("line3:Pass " + std::to_string(pass) + " of 2");
        for (int step = 0; step < 3; ++step) {
            expected.push_back("line2:" + fixture.Text(9905 + step));
            for (int k = 1; k <= 3; ++k)
                expected.push_back("pos:" + std::to_string(k));
        }
    }
    CHECK(fixture.channel.progressLog == expected);
}

TEST_CASE("methods and pass counts from the settings or the job")
{
    SUBCASE("a method other than 0 and 1 is thorough")
    {
        EngineFixture fixture;
        fixture.UseMethod(7, 1);
        std::string path = MakeFile(fixture.folder / "odd.bin", 10);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK_FALSE(FileExists(path));
        CHECK(fixture.channel.Count("line2:" + fixture.Text(9907)) == 1);
        CHECK(fixture.channel.Count("line2:" + fixture.Text(9903)) == 0);
    }
    SUBCASE("a thorough run always writes 1 to 10 passes")
    {
        struct Case {
            const char* name;
            bool silent;
            int job;
            int stored;
            int passes;
        } cases[] = {
            {"silent, count 0: the stored count", true, 0, 2, 2},
            {"silent, count 0, stored 0: 3", true, 0, 0, 3},
            {"silent, negative: the stored count", true, -5, 4, 4},
            {"silent, above 10: 10", true, 2147483647, 2, 10},
            {"interactive, stored 0xFFFFFFFF: 3", false, 0, -1, 3},
            {"interactive, stored 11: 3", false, 0, 11, 3},
        };
        for (const Case& c : cases) {
            CAPTURE(std::string(c.name));
            EngineFixture fixture;
            fixture.UseMethod(1, c.stored);
            if (c.silent)
                fixture.UseSilentJob(1, c.job);
            std::string path = MakeFile(fixture.folder / "zero.bin", 70000);
            CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
            CHECK_FALSE(FileExists(path));
            std::string last = std::to_string(c.passes);
            CHECK(fixture.channel.Count("line3:Pass " + last + " of " + last) == 1);
            CHECK(fixture.channel.Count("line2:" + fixture.Text(9905)) == c.passes);
            CHECK(fixture.Log().empty());
        }
    }
    SUBCASE("silent job's method wins over the stored one")
    {
        EngineFixture fixture;
        fixture.UseSilentJob(1, 1);
        fixture.UseMethod(0, 3);
        std::string path = MakeFile(fixture.folder / "job.bin", 10);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK(fixture.channel.Count("line3:Pass 1 of 1") == 1);
    }
    SUBCASE("no stored settings: quick")
    {
        EngineFixture fixture;
        std::string path = MakeFile(fixture.folder / "default.bin", 10);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK(fixture.channel.Count("line2:" + fixture.Text(9903)) == 1);
    }
}

TEST_CASE("read-only, hidden and system files in every mode and origin")
{
    const DWORD kinds[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
    struct Case {
        const char* name;
        bool silent;
        ItemOrigin origin;
        Answer answer;     // scripted answer to the attribute question
        size_t questions;  // questions expected
        Flow result;
        bool removed;      // gone (origin 2: cut to zero length but kept)
    };
    const Case cases[] = {
        {"user, Yes", false, ItemOrigin::User, Answer::Positive, 1, Flow::GoOn, true},
        {"user, No", false, ItemOrigin::User, Answer::No, 1, Flow::GoOn, false},
        {"user, Cancel", false, ItemOrigin::User, Answer::Cancel, 1, Flow::Stop, false},
        {"user, silent", true, ItemOrigin::User, Answer::Cancel, 0, Flow::GoOn, true},
        {"bin delete", false, ItemOrigin::BinDelete, Answer::Cancel, 0, Flow::GoOn, true},
        {"bin delete, silent", true, ItemOrigin::BinDelete, Answer::Cancel, 0, Flow::GoOn, true},
        {"bin overwrite", false, ItemOrigin::BinOverwrite, Answer::Cancel, 0, Flow::GoOn, false},
        {"bin overwrite, silent", true, ItemOrigin::BinOverwrite, Answer::Cancel, 0, Flow::GoOn, false},
    };
    for (DWORD kind : kinds) {
        for (const Case& c : cases) {
            CAPTURE(kind);
            CAPTURE(c.name);
            EngineFixture fixture;
            if (c.silent)
                fixture.UseSilentJob(0, 3);
            fixture.channel.answers.push_back(c.answer);
            std::string path = MakeFile(fixture.folder / "guarded.dat", 1000);
            REQUIRE(SetFileAttributesA(path.c_str(), kind));
            REQUIRE((Attributes(path) & kind) == kind);

            CHECK(ShredFile(fixture.context, path, c.origin) == c.result);
            REQUIRE(fixture.channel.questions.size() == c.questions);
            if (c.questions) {
                CHECK(fixture.channel.questions[0].style == WarningStyle::YesNoCancel);
                CHECK(fixture.channel.questions[0].text ==
                      MessageText::WithPath(fixture.Text(9036), path));
            }
            CHECK(fixture.Log().empty());
            if (c.removed) {
                CHECK(test::ListFolder(fixture.folder.Path()).empty());
                CHECK_FALSE(FileExists(path));
            } else if (c.origin == ItemOrigin::BinOverwrite) {
                CHECK(test::ReadFileBytes(path).empty());
                CHECK((Attributes(path) & 7) == 0);
            } else {
                // Skipped: contents and attributes as they were.
                CHECK((Attributes(path) & 7) == kind);
                CHECK(test::ReadFileBytes(path) == std::string(1000, 'M'));
            }
        }
    }
}

TEST_CASE("a file another program holds open without sharing is reported and left untouched")
{
    struct Case {
        const char* name;
        bool silent;
        ItemOrigin origin;
        Flow result;
        bool asked;
        bool logged;
    };
    const Case cases[] = {
        {"user", false, ItemOrigin::User, Flow::GoOn, true, false},
        {"user, silent", true, ItemOrigin::User, Flow::GoOn, false, true},
        {"bin delete", false, ItemOrigin::BinDelete, Flow::Stop, true, false},
        {"bin delete, silent", true, ItemOrigin::BinDelete, Flow::Stop, false, true},
        {"bin overwrite, silent", true, ItemOrigin::BinOverwrite, Flow::Stop, false, true},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        EngineFixture fixture;
        if (c.silent)
            fixture.UseSilentJob(1, 3);
        std::string path = MakeFile(fixture.folder / "locked.doc", 70000);
        REQUIRE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
        fixture.channel.answers.push_back(Answer::Positive);  // to the attribute question
        std::string text = MessageText::WithPath(fixture.Text(9037), path);
        {
            AutoHandle lock(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            REQUIRE(lock);
            CHECK(ShredFile(fixture.context, path, c.origin) == c.result);
        }
        bool asked = false;
        for (const auto& question : fixture.channel.questions)
            asked |= question.text == text && question.style == WarningStyle::Notice;
        CHECK(asked == c.asked);
        CHECK((fixture.Log() == "The file\r\n" + path +
                                    "\r\ncould not be opened for writing. It may be in use by another program, or "
                                    "you may not have permission to change it. It was not shredded.\r\n\r\n") == c.logged);
        if (!c.logged)
            CHECK(fixture.Log().empty());
        CHECK(test::ReadFileBytes(path) == std::string(70000, 'M'));
        CHECK((Attributes(path) & 7) == FILE_ATTRIBUTE_HIDDEN);
        CHECK(fixture.channel.Count("pos:") == 0);
    }
}

TEST_CASE("a missing file is reported and the run goes on")
{
    SUBCASE("interactive")
    {
        EngineFixture fixture;
        std::string path = fixture.folder / "gone.txt";
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        REQUIRE(fixture.channel.questions.size() == 1);
        CHECK(fixture.channel.questions[0].style == WarningStyle::Notice);
        CHECK(fixture.channel.questions[0].text == MessageText::WithPath(fixture.Text(9034), path));
        CHECK(fixture.channel.questions[0].title == "Vantor Shredder");
    }
    SUBCASE("silent: the log's exact bytes")
    {
        EngineFixture fixture;
        fixture.UseSilentJob(0, 3);
        std::string path = fixture.folder / "gone.txt";
        CHECK(ShredFile(fixture.context, path, ItemOrigin::BinDelete) == Flow::GoOn);
        CHECK(fixture.channel.questions.empty());
        CHECK(fixture.Log() == "The file\r\n" + path + "\r\ndoes not exist or cannot be read. It was skipped.\r\n\r\n");
        CHECK(fixture.context.logText == "The file\n" + path + "\ndoes not exist or cannot be read. It was skipped.");
    }
}

TEST_CASE("a path that does not fit the rename buffer is refused, never cut")
{
    EngineFixture fixture;
    std::string base = fixture.folder.Path() + "\\";
    SUBCASE("259 characters: shredded")
    {
        std::string path = base + std::string(259 - base.size() - 4, 'n') + ".txt";
        REQUIRE(path.size() == 259);
        MakeFile(path, 100);
        REQUIRE(FileExists(path));
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK_FALSE(FileExists(path));
        CHECK(fixture.channel.questions.empty());
    }
    SUBCASE("260 characters and more: refused with the path named")
    {
        for (size_t length : {size_t(260), size_t(300)}) {
            CAPTURE(length);
            fixture.channel.questions.clear();
            std::string path = base + std::string(length - base.size() - 4, 'n') + ".txt";
            CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
            REQUIRE(fixture.channel.questions.size() == 1);
            CHECK(fixture.channel.questions[0].text == MessageText::WithPath(fixture.Text(9071), path));
        }
    }
}

TEST_CASE("cancel during a large file stops after the current block, then cuts, renames and deletes")
{
    // 1 MiB: 17 blocks per step, so step 1 of pass 2 runs pumps 69 to 85.
    EngineFixture fixture;
    fixture.UseMethod(1, 3);
    fixture.channel.stopAtPump = 75;
    std::string path = MakeFile(fixture.folder / "large.bin", 1 << 20);
    CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::Stop);
    CHECK(fixture.channel.pumps == 75);
    CHECK_FALSE(FileExists(path));
    CHECK(test::ListFolder(fixture.folder.Path()).empty());
    CHECK(fixture.channel.CountAfterCancel("pos:") == 0);
    CHECK(fixture.channel.CountAfterCancel("line") == 0);
    CHECK(fixture.channel.Count("line3:Pass 3 of 3") == 0);
    CHECK(fixture.channel.Count("line2:" + fixture.Text(9906)) == 2);
}

TEST_CASE("a stop before every byte was overwritten once leaves the file whole, and says so")
{
    // 5 blocks and 100 bytes: 6 pumps per step.
    const size_t size = 5 * 65536 + 100;
    struct Case {
        const char* name;
        int method;
        ItemOrigin origin;
        bool silent;
        int stopAt;
        bool kept;
    } cases[] = {
        {"quick, block 2", 0, ItemOrigin::User, false, 2, true},
        {"quick, block 5 of 6", 0, ItemOrigin::BinDelete, false, 5, true},
        {"quick, the last block", 0, ItemOrigin::User, false, 6, false},
        {"thorough step 0, block 1", 1, ItemOrigin::User, true, 1, true},
        {"thorough step 0, the last block", 1, ItemOrigin::User, true, 6, false},
        {"thorough step 1", 1, ItemOrigin::User, true, 7, false},
        {"bin overwrite, block 1: not cut either", 1, ItemOrigin::BinOverwrite, false, 1, true},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.name));
        EngineFixture fixture;
        fixture.UseMethod(c.method, 2);
        if (c.silent)
            fixture.UseSilentJob(c.method, 2);
        fixture.channel.stopAtPump = c.stopAt;
        std::string path = MakeFile(fixture.folder / "report.doc", size);
        REQUIRE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
        fixture.channel.answers.push_back(Answer::Positive);  // the attribute question
        CHECK(ShredFile(fixture.context, path, c.origin) == Flow::Stop);
        CHECK(fixture.channel.pumps == c.stopAt);
        std::string text = MessageText::WithPath(fixture.Text(9242), path);
        if (c.kept) {
            std::vector<std::string> left = test::ListFolder(fixture.folder.Path());
            left.erase(std::remove(left.begin(), left.end(), "log.txt"), left.end());  // a silent run's log
            CHECK(left == std::vector<std::string>{"report.doc"});
            std::string bytes = test::ReadFileBytes(path);
            CHECK(bytes.size() == size);
            CHECK(bytes.substr(c.stopAt * 65536) == std::string(size - c.stopAt * 65536, 'M'));
            CHECK(bytes.substr(0, 65536) != std::string(65536, 'M'));
            CHECK((Attributes(path) & 0x07) == (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
            CHECK(fixture.context.incomplete);
            if (c.silent) {
                CHECK(fixture.context.logText == text);
            } else {
                REQUIRE_FALSE(fixture.channel.questions.empty());
                CHECK(fixture.channel.questions.back().text == text);
                CHECK(fixture.channel.questions.back().style == WarningStyle::Notice);
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        } else {
            CHECK(test::ListFolder(fixture.folder.Path()).empty());
            CHECK_FALSE(fixture.context.incomplete);  // what it was asked to destroy is gone
            CHECK(fixture.Log().empty());
        }
    }
}

namespace {

// Reads a file through a second, sharing handle while the shredder writes it.
struct Peek {
    std::string path;
    std::vector<std::string> seen;
};
Peek* peek = nullptr;

void PeekAtFile(test::CancelChannel&)
{
    // The shredder's handle allows no sharing, so a reader gets nothing.
    AutoHandle reader(CreateFileA(peek->path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    peek->seen.push_back(reader ? "opened" : "refused");
}

}  // namespace

TEST_CASE("the file is held without sharing while it is overwritten")
{
    EngineFixture fixture;
    Peek watcher;
    watcher.path = MakeFile(fixture.folder / "held.bin", 3 * 65536);
    peek = &watcher;
    fixture.channel.onPump = PeekAtFile;
    CHECK(ShredFile(fixture.context, watcher.path, ItemOrigin::User) == Flow::GoOn);
    peek = nullptr;
    CHECK(watcher.seen == std::vector<std::string>(4, "refused"));
}

TEST_CASE("a random name that is already taken never costs the other file")
{
    // Every other one-letter name exists, so most random names collide: the shredded file must
    // go and all the others must stay. Sizes differ so that each run draws other letters.
    EngineFixture fixture;
    fixture.UseMethod(1, 1);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        if (letter != 'q')
            test::WriteFileBytes(fixture.folder / std::string(1, letter), std::string(1, letter));
    for (size_t size = 1; size <= 12; ++size) {
        CAPTURE(size);
        std::string path = MakeFile(fixture.folder / "q", size);
        fixture.channel.questions.clear();
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
        CHECK_FALSE(FileExists(path));
        CHECK(fixture.channel.questions.empty());
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            if (letter == 'q')
                continue;
            CAPTURE(letter);
            CHECK(test::ReadFileBytes(fixture.folder / std::string(1, letter)) == std::string(1, letter));
        }
    }
}

namespace {

std::string protectPath;

// Marks the file read-only while the shredder holds it, so its deletion will be refused.
void ProtectFile(test::CancelChannel& channel)
{
    if (channel.pumps == 1)
        SetFileAttributesA(protectPath.c_str(), FILE_ATTRIBUTE_READONLY);
}

}  // namespace

TEST_CASE("a file that cannot be deleted is named back and reported")
{
    struct Case {
        const char* name;
        bool silent;
        Answer answer;
        Flow result;
    };
    const Case cases[] = {
        {"continue", false, Answer::Positive, Flow::GoOn},
        {"stop", false, Answer::Cancel, Flow::Stop},
        {"silent", true, Answer::Cancel, Flow::GoOn},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        EngineFixture fixture;
        if (c.silent)
            fixture.UseSilentJob(0, 3);
        protectPath = MakeFile(fixture.folder / "stays.txt", 2000);
        fixture.channel.onPump = ProtectFile;
        fixture.channel.answers.push_back(c.answer);
        CHECK(ShredFile(fixture.context, protectPath, ItemOrigin::User) == c.result);
        CHECK(fixture.context.incomplete);
        std::string text = MessageText::WithPath(fixture.Text(9038), protectPath);
        REQUIRE(FileExists(protectPath));
        CHECK(test::ReadFileBytes(protectPath).empty());
        CHECK(test::ListFolder(fixture.folder.Path()).size() == (c.silent ? 2u : 1u));
        if (c.silent) {
            CHECK(fixture.channel.questions.empty());
            CHECK(fixture.Log() == "This file was overwritten but could not be deleted. It has been given back its "
                                   "name. Continue with the next item?\r\n" + protectPath + "\r\n\r\n");
            CHECK(fixture.context.logText == text);
        } else {
            REQUIRE(fixture.channel.questions.size() == 1);
            CHECK(fixture.channel.questions[0].style == WarningStyle::ContinueStop);
            CHECK(fixture.channel.questions[0].size == DialogSize::Big);
            CHECK(fixture.channel.questions[0].text == text);
        }
        SetFileAttributesA(protectPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_CASE("the progress window: created once, its failure reported, released")
{
    SUBCASE("interactive failure: a stop message, nothing touched, stop")
    {
        EngineFixture fixture;
        fixture.channel.failProgress = true;
        std::string path = MakeFile(fixture.folder / "a.txt", 10);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::Stop);
        CHECK(FileExists(path));
        REQUIRE(fixture.channel.alerts.size() == 1);
        CHECK(fixture.channel.alerts[0] == MessageText::ExpandLineBreaks(fixture.Text(9010)));
        CHECK_FALSE(fixture.context.progressWindow);
    }
    SUBCASE("silent failure: logged")
    {
        EngineFixture fixture;
        fixture.UseSilentJob(0, 3);
        fixture.channel.failProgress = true;
        CHECK_FALSE(AcquireProgressWindow(fixture.context));
        CHECK(fixture.channel.alerts.empty());
        CHECK(fixture.Log() == fixture.Text(9010) + "\r\n\r\n");
    }
    SUBCASE("two files share one window until it is released")
    {
        EngineFixture fixture;
        CHECK(ShredFile(fixture.context, MakeFile(fixture.folder / "1", 10), ItemOrigin::User) == Flow::GoOn);
        CHECK(ShredFile(fixture.context, MakeFile(fixture.folder / "2", 10), ItemOrigin::User) == Flow::GoOn);
        CHECK(fixture.channel.Count("open") == 1);
        CHECK(fixture.channel.Count("show") == 2);
        CHECK(fixture.context.progressWindow);
        ReleaseProgressWindow(fixture.context);
        CHECK_FALSE(fixture.context.progressWindow);
        ReleaseProgressWindow(fixture.context);  // nothing to release
        CHECK(AcquireProgressWindow(fixture.context));
        CHECK(fixture.channel.Count("open") == 2);
    }
}

namespace {

DWORD fakeSectors, fakeBytes, fakeClusters;
ULONGLONG fakeCaller, fakeTotalFree;
BOOL fakeResult;

BOOL WINAPI FakeFreeSpace(LPCSTR, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    *sectors = fakeSectors;
    *bytes = fakeBytes;
    *freeClusters = fakeClusters;
    *clusters = fakeClusters * 2;
    return fakeResult;
}

BOOL WINAPI FakeFreeSpaceEx(LPCSTR, PULARGE_INTEGER caller, PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    caller->QuadPart = fakeCaller;
    total->QuadPart = fakeTotalFree * 2;
    totalFree->QuadPart = fakeTotalFree;
    return fakeResult;
}

}  // namespace

TEST_CASE("free space: the extended query, the old one in 64 bits, failure")
{
    ShredContext context;
    unsigned long long available = 1, total = 1;
    fakeResult = TRUE;

    context.machine.getDiskFreeSpaceEx = FakeFreeSpaceEx;
    fakeCaller = 5ull << 30;
    fakeTotalFree = 7ull << 30;
    CHECK(QueryFreeSpace(context, "C:\\", &available, &total));
    CHECK(available == (5ull << 30));
    CHECK(total == (7ull << 30));

    context.machine.getDiskFreeSpaceEx = nullptr;
    context.machine.getDiskFreeSpace = FakeFreeSpace;
    fakeSectors = 8;
    fakeBytes = 512;
    fakeClusters = 2000000;  // 8,192,000,000 bytes: more than 32 bits hold
    CHECK(QueryFreeSpace(context, "C:\\", &available, &total));
    CHECK(available == 8192000000ull);
    CHECK(total == 8192000000ull);

    fakeResult = FALSE;
    CHECK_FALSE(QueryFreeSpace(context, "C:\\", &available, &total));
    CHECK(available == 0);
    context.machine.getDiskFreeSpace = nullptr;
    CHECK_FALSE(QueryFreeSpace(context, "C:\\", &available, &total));

    context.machine.getDiskFreeSpaceEx = GetDiskFreeSpaceExA;
    CHECK(QueryFreeSpace(context, "C:\\", &available, &total));
    CHECK(available > 0);
}

TEST_CASE("shell display names resolve to file-system paths")
{
    test::TempFolder folder("shell");
    test::WriteFileBytes(folder / "named.txt", "x");
    std::string path;
    REQUIRE(ResolveShellPath(folder / "named.txt", path));
    CHECK(lstrcmpiA(path.c_str(), (folder / "named.txt").c_str()) == 0);

    std::string untouched = "before";
    CHECK_FALSE(ResolveShellPath("::{00000000-0000-0000-0000-000000000000}\\nothing", untouched));
    CHECK(untouched == "before");
}
