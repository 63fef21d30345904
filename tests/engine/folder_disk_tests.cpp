// The folder walks on the real file system with the real file shredder: listings, removals and
// the runtime's own words for a removal that fails.
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "common/ScopedWin.h"
#include "engine/FolderShredder.h"
#include "lang/MessageText.h"
#include "tests/engine/EngineFixture.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <cerrno>
#include <cstring>

namespace {

struct DiskWalk {
    test::FreshSettings settings;
    test::TempFolder folder{"diskwalk"};
    test::TempFolder log{"walklog"};
    test::ScriptedChannel channel;
    ShredContext context;

    DiskWalk()
    {
        test::PrepareShredder(context, channel, log.Path());
        CreateDirectoryA(Path("top").c_str(), nullptr);
        CreateDirectoryA(Path("top\\sub").c_str(), nullptr);
        CreateDirectoryA(Path("top\\sub\\deep").c_str(), nullptr);
        test::WriteFileBytes(Path("top\\a.txt"), "secret a");
        test::WriteFileBytes(Path("top\\sub\\b.txt"), "secret b");
        test::WriteFileBytes(Path("top\\sub\\deep\\c.txt"), "secret c");
    }
    std::string Path(const std::string& name) const { return folder / name; }
    void Policy(int folderPolicy, int removePolicy)
    {
        Settings::WriteNumber("Folder", folderPolicy);
        Settings::WriteNumber("Remove", removePolicy);
    }
};

}  // namespace

TEST_CASE("a user walk on disk, then the top folder removed once empty")
{
    DiskWalk walk;
    walk.Policy(2, 2);
    CHECK(ShredFolder(walk.context, walk.Path("top"), false, WalkMode::User) == FolderResult::Done);
    CHECK(test::FileExists(walk.Path("top")));
    CHECK_FALSE(test::FileExists(walk.Path("top\\sub")));
    RemoveFolderIfEmpty(walk.context, walk.Path("top"));
    CHECK_FALSE(test::FileExists(walk.Path("top")));
    CHECK(walk.channel.questions.empty());
}

TEST_CASE("a subfolder that keeps a locked file: the removal fails with the runtime's reason")
{
    DiskWalk walk;
    walk.Policy(2, 2);
    // Opened without sharing: the shredder cannot open it, so it stays and so does its folder.
    AutoHandle locked(CreateFileA(walk.Path("top\\sub\\deep\\c.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  0, nullptr));
    REQUIRE(locked);
    walk.context.silent = true;
    walk.context.job.folderPolicy = 2;
    walk.context.job.removePolicy = 2;
    CHECK(ShredFolder(walk.context, walk.Path("top"), false, WalkMode::User) == FolderResult::Done);
    locked.Reset();
    CHECK(test::ReadFileBytes(walk.Path("top\\sub\\deep\\c.txt")) == "secret c");
    CHECK_FALSE(test::FileExists(walk.Path("top\\sub\\b.txt")));
    CHECK_FALSE(test::FileExists(walk.Path("top\\a.txt")));

    // The file that stayed, then one entry for "deep" and one for "sub", each naming the folder,
    // strerror's text and errno.
    std::string log = test::ReadFileBytes(walk.log / "log.txt");
    std::string reason = "Reason: " + std::string(strerror(ENOTEMPTY)) + " (error " + std::to_string(ENOTEMPTY) + ").";
    std::string lockedEntry = "The file\r\n" + walk.Path("top\\sub\\deep\\c.txt") +
                              "\r\ncould not be opened for writing. It may be in use by another program, or you may "
                              "not have permission to change it. It was not shredded.\r\n\r\n";
    CHECK(log == lockedEntry + "The folder\r\n" + walk.Path("top\\sub\\deep") + "\r\ncould not be removed.\r\n" + reason +
                     "\r\n\r\nThe folder\r\n" + walk.Path("top\\sub") + "\r\ncould not be removed.\r\n" + reason +
                     "\r\n\r\n");
    CHECK(std::string(strerror(ENOTEMPTY)) == "Directory not empty");
}

TEST_CASE("a protected folder named by its short name is still refused")
{
    DiskWalk walk;
    walk.Policy(2, 2);
    CreateDirectoryA(walk.Path("Protected Long Name").c_str(), nullptr);
    test::WriteFileBytes(walk.Path("Protected Long Name\\x.txt"), "system file");
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(walk.Path("Protected Long Name").c_str(), shortPath, MAX_PATH);
    REQUIRE(length > 0);
    REQUIRE(std::string(shortPath) != walk.Path("Protected Long Name"));
    walk.context.machine.protectedFolders[1] = walk.Path("Protected Long Name");

    CHECK(ShredFolder(walk.context, shortPath, false, WalkMode::User) == FolderResult::Skipped);
    CHECK(test::ReadFileBytes(walk.Path("Protected Long Name\\x.txt")) == "system file");
    REQUIRE(walk.channel.questions.size() == 1);
    CHECK(walk.channel.questions[0].style == WarningStyle::Error);
    CHECK(walk.channel.questions[0].text.find(walk.Path("Protected Long Name")) != std::string::npos);
}

