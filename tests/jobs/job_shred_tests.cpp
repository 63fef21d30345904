// Command-line jobs with the real shredders on files and folders in a temporary folder.
#include "app/JobRunner.h"
#include "common/Settings.h"
#include "app/ShredApp.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

namespace {

struct RealJob {
    test::FreshSettings settings;
    test::TempFolder folder{"realjob"};
    test::TempFolder log{"joblog"};
    test::ScriptedChannel channel;
    ShredApp app;
    ShredContext& context = app.context;

    RealJob()
    {
        test::PrepareShredder(context, channel, log.Path());
    }
    void Silent(int folderPolicy, int removePolicy)
    {
        context.silent = true;
        context.job.method = 1;
        context.job.passCount = 1;
        context.job.folderPolicy = folderPolicy;
        context.job.removePolicy = removePolicy;
    }
    void Run(std::vector<std::string> items)
    {
        RunCommandLineJob(context, items);
        CHECK(context.progressWindow == nullptr);
    }
    std::string Log() const { return test::ReadFileBytes(log / "log.txt"); }
    std::string Path(const std::string& name) const { return folder / name; }
    void Tree()
    {
        CreateDirectoryA(Path("top").c_str(), nullptr);
        CreateDirectoryA(Path("top\\sub").c_str(), nullptr);
        CreateDirectoryA(Path("top\\sub\\deep").c_str(), nullptr);
        test::WriteFileBytes(Path("top\\a.txt"), "secret a");
        test::WriteFileBytes(Path("top\\sub\\b.txt"), "secret b");
        test::WriteFileBytes(Path("top\\sub\\deep\\c.txt"), "secret c");
    }
};

// The log entry of a skipped item, as the English pack words it.
std::string SkippedEntry(const std::string& item)
{
    return "This item was skipped: it is not a file, a folder, a drive or the Recycle Bin.\r\n" + item + "\r\n\r\n";
}

}  // namespace

TEST_CASE("a silent job with a missing file and a good one logs the first and shreds the second")
{
    RealJob job;
    job.Silent(0, 0);
    test::WriteFileBytes(job.Path("good.txt"), "secret");
    job.Run({job.Path("missing.txt"), job.Path("good.txt")});
    CHECK_FALSE(test::FileExists(job.Path("good.txt")));
    CHECK(job.Log() == SkippedEntry(job.Path("missing.txt")));
    job.app.ExitInstance();
    CHECK(job.Log().find("Success") == std::string::npos);
}

TEST_CASE("silent folder jobs by the job's subfolder policy")
{
    SUBCASE("always and always: the whole tree goes, the top folder with it")
    {
        RealJob job;
        job.Silent(2, 2);
        job.Tree();
        job.Run({job.Path("top")});
        CHECK_FALSE(test::FileExists(job.Path("top")));
        CHECK(job.Log().empty());
    }
    SUBCASE("always and never: every file goes, the folders stay")
    {
        RealJob job;
        job.Silent(2, 0);
        job.Tree();
        job.Run({job.Path("top")});
        CHECK(test::FileExists(job.Path("top\\sub\\deep")));
        CHECK_FALSE(test::FileExists(job.Path("top\\a.txt")));
        CHECK_FALSE(test::FileExists(job.Path("top\\sub\\b.txt")));
        CHECK_FALSE(test::FileExists(job.Path("top\\sub\\deep\\c.txt")));
        CHECK(job.Log().empty());
    }
    SUBCASE("never: only the top folder's own files go, and it stays without a message")
    {
        RealJob job;
        job.Silent(0, 2);
        job.Tree();
        job.Run({job.Path("top")});
        CHECK_FALSE(test::FileExists(job.Path("top\\a.txt")));
        CHECK(test::ReadFileBytes(job.Path("top\\sub\\b.txt")) == "secret b");
        CHECK(test::ReadFileBytes(job.Path("top\\sub\\deep\\c.txt")) == "secret c");
        CHECK(job.Log().empty());
    }
    SUBCASE("a folder given with a trailing backslash is not found")
    {
        RealJob job;
        job.Silent(2, 2);
        job.Tree();
        job.Run({job.Path("top\\")});
        CHECK(test::ReadFileBytes(job.Path("top\\a.txt")) == "secret a");
        CHECK(job.Log() == SkippedEntry(job.Path("top\\")));
    }
}

TEST_CASE("an interactive job and the question about a read-only file")
{
    SUBCASE("Cancel ends the job")
    {
        RealJob job;
        test::WriteFileBytes(job.Path("ro.txt"), "read-only");
        SetFileAttributesA(job.Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        test::WriteFileBytes(job.Path("next.txt"), "next");
        job.channel.answers = {Answer::Positive, Answer::Cancel};
        job.Run({job.Path("ro.txt"), job.Path("next.txt")});
        CHECK(job.channel.questions.size() == 2);
        CHECK(test::ReadFileBytes(job.Path("ro.txt")) == "read-only");
        CHECK(test::ReadFileBytes(job.Path("next.txt")) == "next");
    }
    SUBCASE("No skips only that file")
    {
        RealJob job;
        test::WriteFileBytes(job.Path("ro.txt"), "read-only");
        SetFileAttributesA(job.Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        test::WriteFileBytes(job.Path("next.txt"), "next");
        job.channel.answers = {Answer::Positive, Answer::No};
        job.Run({job.Path("ro.txt"), job.Path("next.txt")});
        CHECK(test::ReadFileBytes(job.Path("ro.txt")) == "read-only");
        CHECK_FALSE(test::FileExists(job.Path("next.txt")));
    }
}
