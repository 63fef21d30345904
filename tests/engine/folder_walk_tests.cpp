// The folder walks over a tree held in memory: the order of actions, the subfolder policy and its
// questions, protected and system folders, stops, links and paths that do not fit.
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "engine/FolderShredder.h"
#include "tests/engine/folder_fakes.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstring>

namespace {

// Texts with markers and "#" where the walk must replace them, or keep them.
const char* const WalkPack =
    "9011=cannot list#\r\n"
    "9034=missing#%s\r\n"
    "9039=protected %s#\r\n"
    "9040=system#%s\r\n"
    "9041=contents#%s\r\n"
    "9042=remove#%s\r\n"
    "9043=not removed#%s#\r\n"
    "9044=why: %s [%u]#\r\n"
    "9054=attributes#%s\r\n"
    "9055=subfolders too?#\r\n"
    "9056=remove them?#\r\n"
    "9071=too long#%s\r\n"
    "9072=link#%s\r\n"
    "9073=link stays#%s#\r\n"
    "9210=odd name#%s\r\n"
    "9211=leads elsewhere#%s\r\n"
    "9215=target gone#%s\r\n";

struct Walk {
    test::FreshSettings settings;
    test::TempFolder install{"walk"};
    test::ScriptedChannel channel;
    ShredContext context;
    test::MemoryFolders disk;

    Walk()
    {
        test::WritePack(install.Path(), "English", WalkPack);
        context.appPath = install.Path();
        context.title = "Title";
        context.channel = &channel;
        // C:\top\a.txt, sub1\b.txt, sub1\deep\c.txt, sub2\d.txt, e.txt
        disk.AddFolder("C:\\top");
        disk.AddFile("C:\\top\\a.txt");
        disk.AddFolder("C:\\top\\sub1");
        disk.AddFile("C:\\top\\sub1\\b.txt");
        disk.AddFolder("C:\\top\\sub1\\deep");
        disk.AddFile("C:\\top\\sub1\\deep\\c.txt");
        disk.AddFolder("C:\\top\\sub2");
        disk.AddFile("C:\\top\\sub2\\d.txt");
        disk.AddFile("C:\\top\\e.txt");
    }

    void Policy(int folder, int remove)
    {
        Settings::WriteNumber("Folder", folder);
        Settings::WriteNumber("Remove", remove);
    }
    FolderResult Run(const std::string& path = "C:\\top", bool system = false, WalkMode mode = WalkMode::User)
    {
        FolderResult result = ShredFolder(context, path, system, mode, disk);
        CHECK(disk.openListings == 0);
        CheckRenames();
        return result;
    }
    // Every rename gave a new name of the same length in the same folder.
    void CheckRenames() const
    {
        for (const std::string& action : disk.actions)
            CHECK_MESSAGE(action.compare(0, 10, "bad rename") != 0, action);
    }
    // The path a folder renamed and left in place has now: the entry of its parent that is not
    // one of `known`.
    std::string OtherEntry(const std::string& parent, const std::vector<std::string>& known) const
    {
        for (const std::string& name : disk.Names(parent)) {
            if (std::find(known.begin(), known.end(), name) == known.end())
                return parent + "\\" + name;
        }
        return std::string();
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
};

using Actions = std::vector<std::string>;

}  // namespace

TEST_CASE("a user walk follows the subfolder policy")
{
    struct Case {
        int folder, remove;
        Actions actions;
    } cases[] = {
        {0, 2, {"list C:\\top", "shred C:\\top\\a.txt 0", "shred C:\\top\\e.txt 0"}},
        {2, 0,
         {"list C:\\top", "shred C:\\top\\a.txt 0", "list C:\\top\\sub1", "shred C:\\top\\sub1\\b.txt 0",
          "list C:\\top\\sub1\\deep", "shred C:\\top\\sub1\\deep\\c.txt 0", "list C:\\top\\sub2",
          "shred C:\\top\\sub2\\d.txt 0", "shred C:\\top\\e.txt 0"}},
        {2, 2,
         {"list C:\\top", "shred C:\\top\\a.txt 0", "list C:\\top\\sub1", "shred C:\\top\\sub1\\b.txt 0",
          "list C:\\top\\sub1\\deep", "shred C:\\top\\sub1\\deep\\c.txt 0",
          // Each emptied folder is listed again, renamed and removed under its new name.
          "list C:\\top\\sub1\\deep", "rename C:\\top\\sub1\\deep", "rmdir C:\\top\\sub1\\deep (renamed)",
          "list C:\\top\\sub1", "rename C:\\top\\sub1", "rmdir C:\\top\\sub1 (renamed)", "list C:\\top\\sub2",
          "shred C:\\top\\sub2\\d.txt 0", "list C:\\top\\sub2", "rename C:\\top\\sub2",
          "rmdir C:\\top\\sub2 (renamed)", "shred C:\\top\\e.txt 0"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.folder);
        CAPTURE(c.remove);
        Walk walk;
        walk.Policy(c.folder, c.remove);
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.actions == c.actions);
        CHECK(walk.channel.questions.empty());
    }
}

TEST_CASE("a silent walk takes its policy from the job and asks nothing about system folders")
{
    Walk walk;
    walk.Policy(0, 0);  // stored policy, which a silent run must not read
    walk.context.silent = true;
    walk.context.job.folderPolicy = 2;
    walk.context.job.removePolicy = 2;
    CHECK(walk.Run("C:\\top", true) == FolderResult::Done);
    CHECK(walk.channel.questions.empty());
    CHECK_FALSE(walk.disk.Exists("C:\\top\\sub1"));
    CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2"));
    CHECK(walk.disk.Exists("C:\\top"));  // the caller removes the top folder
}

TEST_CASE("policy 1 asks about each subfolder and each removal")
{
    SUBCASE("contents: No skips one subfolder whole, the walk goes on")
    {
        Walk walk;
        walk.Policy(1, 0);
        walk.channel.answers = {Answer::No, Answer::Positive};
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.Texts() == std::vector<std::string>{"contents\nC:\\top\\sub1", "contents\nC:\\top\\sub2"});
        CHECK(walk.channel.questions[0].style == WarningStyle::YesNoCancel);
        CHECK(walk.disk.Exists("C:\\top\\sub1\\b.txt"));
        CHECK(walk.disk.Exists("C:\\top\\sub1\\deep\\c.txt"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2\\d.txt"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\e.txt"));
    }
    SUBCASE("contents: Cancel stops every walk")
    {
        Walk walk;
        walk.Policy(1, 2);
        walk.channel.answers = {Answer::Cancel};
        CHECK(walk.Run() == FolderResult::Stopped);
        CHECK(walk.disk.actions == Actions{"list C:\\top", "shred C:\\top\\a.txt 0"});
    }
    SUBCASE("contents: asked in silent mode too")
    {
        Walk walk;
        walk.context.silent = true;
        walk.context.job.folderPolicy = 1;
        walk.channel.answers = {Answer::No, Answer::No};
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.channel.questions.size() == 2);
    }
    SUBCASE("removal: Yes removes, No keeps")
    {
        Walk walk;
        walk.Policy(2, 1);
        // deep (inside sub1) is asked first, then sub1, then sub2.
        walk.channel.answers = {Answer::Positive, Answer::No, Answer::Positive};
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.Texts() == std::vector<std::string>{"remove\nC:\\top\\sub1\\deep", "remove\nC:\\top\\sub1",
                                                       "remove\nC:\\top\\sub2"});
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub1\\deep"));
        CHECK(walk.disk.Exists("C:\\top\\sub1"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2"));
    }
    SUBCASE("removal: Cancel stops before the next entry")
    {
        Walk walk;
        walk.Policy(2, 1);
        walk.channel.answers = {Answer::Cancel};
        CHECK(walk.Run() == FolderResult::Stopped);
        CHECK(walk.disk.Exists("C:\\top\\sub1\\deep"));
        CHECK(walk.disk.Exists("C:\\top\\sub2\\d.txt"));
        CHECK(walk.disk.Exists("C:\\top\\e.txt"));
    }
}

TEST_CASE("protected folders are refused and left exactly as they are")
{
    SUBCASE("the top folder, compared without regard to case; the list entry is named")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.context.machine.protectedFolders[5] = "C:\\TOP";
        CHECK(walk.Run("C:\\top") == FolderResult::Skipped);
        CHECK(walk.disk.actions.empty());
        REQUIRE(walk.channel.questions.size() == 1);
        CHECK(walk.channel.questions[0].text == "protected C:\\TOP#");  // "#" kept
        CHECK(walk.channel.questions[0].style == WarningStyle::Error);
    }
    SUBCASE("a subfolder: skipped, not removed, its siblings shredded")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.context.machine.protectedFolders[0] = "C:\\top\\sub1";
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\top\\sub1\\b.txt"));
        CHECK(walk.disk.Exists("C:\\top\\sub1"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\e.txt"));
        for (const std::string& action : walk.disk.actions)
            CHECK(action.find("sub1") == std::string::npos);
    }
    SUBCASE("forced walks do not consult the list")
    {
        Walk walk;
        walk.context.machine.protectedFolders[0] = "C:\\top";
        CHECK(walk.Run("C:\\top", false, WalkMode::Forced) == FolderResult::Done);
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub1"));
    }
}

TEST_CASE("a system folder is asked about in a user walk")
{
    struct Case {
        Answer answer;
        FolderResult result;
        bool shredded;
    } cases[] = {
        {Answer::Positive, FolderResult::Done, true},
        {Answer::No, FolderResult::Skipped, false},
        {Answer::Cancel, FolderResult::Stopped, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.answer);
        Walk walk;
        walk.Policy(0, 0);
        walk.channel.answers = {c.answer};
        CHECK(walk.Run("C:\\top", true) == c.result);
        REQUIRE(walk.channel.questions.size() == 1);
        CHECK(walk.channel.questions[0].text == "system\nC:\\top");
        CHECK(walk.channel.questions[0].style == WarningStyle::YesNoCancel);
        CHECK(walk.disk.Exists("C:\\top\\a.txt") != c.shredded);
    }

    SUBCASE("a system subfolder: No leaves it whole and does not remove it")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFolder("C:\\top\\sys", FILE_ATTRIBUTE_SYSTEM);
        walk.disk.AddFile("C:\\top\\sys\\f");
        walk.channel.answers = {Answer::No};
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.Texts() == std::vector<std::string>{"system\nC:\\top\\sys"});
        CHECK(walk.disk.Exists("C:\\top\\sys\\f"));
        CHECK(walk.disk.Exists("C:\\top\\sys"));
    }
}

TEST_CASE("a folder that cannot be listed stops the walk with 9011")
{
    Walk walk;
    walk.Policy(2, 2);
    walk.disk.broken.insert("C:\\top\\sub1");
    CHECK(walk.Run() == FolderResult::Stopped);
    CHECK(walk.Texts() == std::vector<std::string>{"cannot list#"});  // no replacements
    CHECK(walk.channel.questions[0].style == WarningStyle::Notice);
    CHECK(walk.disk.Exists("C:\\top\\sub2\\d.txt"));
}

TEST_CASE("forced and bin walks")
{
    SUBCASE("forced: every file with origin 1, every subfolder removed, nothing asked")
    {
        Walk walk;
        walk.Policy(1, 1);
        walk.disk.AddFolder("C:\\top\\sys", FILE_ATTRIBUTE_SYSTEM);
        CHECK(walk.Run("C:\\top", true, WalkMode::Forced) == FolderResult::Done);
        CHECK(walk.channel.questions.empty());
        CHECK(walk.disk.actions ==
              Actions{"list C:\\top", "shred C:\\top\\a.txt 1", "list C:\\top\\sub1", "shred C:\\top\\sub1\\b.txt 1",
                      "list C:\\top\\sub1\\deep", "shred C:\\top\\sub1\\deep\\c.txt 1", "list C:\\top\\sub1\\deep",
                      "rename C:\\top\\sub1\\deep", "rmdir C:\\top\\sub1\\deep (renamed)", "list C:\\top\\sub1",
                      "rename C:\\top\\sub1", "rmdir C:\\top\\sub1 (renamed)", "list C:\\top\\sub2",
                      "shred C:\\top\\sub2\\d.txt 1", "list C:\\top\\sub2", "rename C:\\top\\sub2",
                      "rmdir C:\\top\\sub2 (renamed)", "shred C:\\top\\e.txt 1", "list C:\\top\\sys", "list C:\\top\\sys",
                      "rename C:\\top\\sys", "rmdir C:\\top\\sys (renamed)"});
    }
    SUBCASE("forced: a failed removal is not reported, and the folder has its name back")
    {
        Walk walk;
        walk.disk.removeErrors["C:\\top\\sub2"] = EACCES;
        CHECK(walk.Run("C:\\top", false, WalkMode::Forced) == FolderResult::Done);
        CHECK(walk.channel.questions.empty());
        CHECK(walk.disk.Exists("C:\\top\\sub2"));
        CHECK(walk.disk.Names("C:\\top") == Actions{"sub2"});
    }
    SUBCASE("bin: the direct subfolders survive empty, everything below them goes")
    {
        Walk walk;
        CHECK(walk.Run("C:\\top", false, WalkMode::Bin) == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\top\\sub1"));
        CHECK(walk.disk.Exists("C:\\top\\sub2"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub1\\deep"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub1\\b.txt"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2\\d.txt"));
        CHECK(walk.channel.questions.empty());
    }
}

TEST_CASE("a stop ends every enclosing walk and closes every listing")
{
    SUBCASE("ShredFile answers stop inside a nested folder")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.stopAt.insert("C:\\top\\sub1\\deep\\c.txt");
        CHECK(walk.Run() == FolderResult::Stopped);
        CHECK(walk.disk.mostOpenListings == 3);
        CHECK(walk.disk.actions.back() == "shred C:\\top\\sub1\\deep\\c.txt 0");
        CHECK(walk.disk.Exists("C:\\top\\sub1\\deep"));  // no removal after a stop
        CHECK(walk.disk.Exists("C:\\top\\e.txt"));
    }
    SUBCASE("the stop request set during a file (the progress window's cancel)")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.stopRequestAt.insert("C:\\top\\sub1\\b.txt");
        CHECK(walk.Run("C:\\top", false, WalkMode::Forced) == FolderResult::Stopped);
        CHECK(walk.disk.actions.back() == "shred C:\\top\\sub1\\b.txt 1");
    }
    SUBCASE("a stop request set before the walk: the listing opens and closes, nothing is shredded")
    {
        Walk walk;
        walk.context.stopRequest = 1;
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.actions == Actions{"list C:\\top"});
    }
}

TEST_CASE("a walk removes links and never goes behind them")
{
    SUBCASE("a folder link and a file link met in a walk")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFolderLink("C:\\top\\junction");
        walk.disk.AddFile("C:\\top\\junction\\target-file");
        walk.disk.AddFileLink("C:\\top\\file-link");
        CHECK(walk.Run() == FolderResult::Done);
        const Actions tail(walk.disk.actions.end() - 2, walk.disk.actions.end());
        CHECK(tail == Actions{"unlink-dir C:\\top\\junction", "unlink-file C:\\top\\file-link"});
        for (const std::string& action : walk.disk.actions)
            CHECK(action.find("target-file") == std::string::npos);
        CHECK(walk.Texts() == std::vector<std::string>{"link\nC:\\top\\junction", "link\nC:\\top\\file-link"});
    }
    SUBCASE("the folder handed in is itself a link")
    {
        Walk walk;
        walk.disk.AddFolderLink("C:\\top\\sub1\\link");
        walk.disk.AddFile("C:\\top\\sub1\\link\\x");
        CHECK(walk.Run("C:\\top\\sub1\\link", false, WalkMode::Forced) == FolderResult::Skipped);
        CHECK(walk.disk.actions == Actions{"unlink-dir C:\\top\\sub1\\link"});
    }
    SUBCASE("with subfolders left alone, a folder link is left alone too")
    {
        Walk walk;
        walk.Policy(0, 0);
        walk.disk.AddFolderLink("C:\\top\\junction");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\top\\junction"));
        CHECK(walk.channel.questions.empty());
    }
    SUBCASE("with policy 1, No to the subfolder question keeps the link")
    {
        Walk walk;
        walk.Policy(1, 0);
        walk.disk.AddFolderLink("C:\\top\\junction");
        walk.channel.answers = {Answer::No, Answer::No, Answer::No};
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\top\\junction"));
    }
    SUBCASE("a link that cannot be removed is reported with the system's reason")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFileLink("C:\\top\\file-link");
        walk.disk.linkErrors["C:\\top\\file-link"] = ERROR_ACCESS_DENIED;
        CHECK(walk.Run() == FolderResult::Done);
        REQUIRE(walk.channel.questions.size() == 1);
        const std::string& text = walk.channel.questions[0].text;
        CHECK(text.rfind("link stays\nC:\\top\\file-link\n", 0) == 0);
        CHECK(text.size() > std::strlen("link stays\nC:\\top\\file-link\n"));
    }
}

TEST_CASE("a walk acts only on names that came through exactly and stay inside the folder")
{
    SUBCASE("a name the code page could not hold is reached by its short name, or left and named")
    {
        Walk walk;
        walk.Policy(2, 2);
        // As the legacy code page gives "．．＼victim.txt", a folder "．．＼．．" and "日本語.txt".
        walk.disk.AddFile("C:\\victim.txt");
        walk.disk.AddListedFile("C:\\top", "???victim.txt", false, "___V~4AM.TXT");
        walk.disk.AddListedFolder("C:\\top", "????", false, "____~KZ2");
        walk.disk.AddFile("C:\\top\\____~KZ2\\inner.txt");
        walk.disk.AddListedFile("C:\\top", "???.txt", false, "");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\victim.txt"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\___V~4AM.TXT"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\____~KZ2"));
        CHECK(walk.disk.Exists("C:\\top\\???.txt"));
        CHECK(walk.Texts() == std::vector<std::string>{"odd name\nC:\\top\\???.txt"});
        // The top folder keeps that entry, so it is not removed.
        RemoveFolderIfEmpty(walk.context, "C:\\top", walk.disk);
        CHECK(walk.disk.Exists("C:\\top"));
    }
    SUBCASE("a name holding a separator, a colon or dots only, or ending in a dot or a blank")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFile("C:\\victim.txt");
        walk.disk.AddListedFile("C:\\top", "..\\victim.txt", true, "");
        walk.disk.AddFile("C:\\top\\sub1/..");
        walk.disk.AddFile("C:\\top\\file.txt:stream");
        walk.disk.AddFile("C:\\top\\...");
        walk.disk.AddFolder("C:\\top\\dir ");
        walk.disk.AddFile("C:\\top\\dir \\x");
        // With a short name, a name ending in a dot is reached by that.
        walk.disk.AddListedFile("C:\\top", "dot.txt.", true, "DOT~~EGT.TXT");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\victim.txt"));
        CHECK(walk.disk.Exists("C:\\top\\dir \\x"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\DOT~~EGT.TXT"));
        CHECK(walk.Texts() == std::vector<std::string>{
                                  "leads elsewhere\nC:\\top\\..\\victim.txt", "leads elsewhere\nC:\\top\\sub1/..",
                                  "leads elsewhere\nC:\\top\\file.txt:stream", "leads elsewhere\nC:\\top\\...",
                                  "leads elsewhere\nC:\\top\\dir "});
        for (const std::string& action : walk.disk.actions) {
            CAPTURE(action);
            CHECK(action.find("..") == std::string::npos);
            CHECK(action.find("\\dir ") == std::string::npos);
        }
    }
}

TEST_CASE("protected folders are recognised by identity, however they are named")
{
    SUBCASE("the top folder, named by another drive letter")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.context.machine.protectedFolders[3] = "D:\\Start Menu";
        walk.disk.SameIdentity("D:\\Start Menu", "C:\\top");
        CHECK(walk.Run() == FolderResult::Skipped);
        CHECK(walk.Texts() == std::vector<std::string>{"protected D:\\Start Menu#"});
        for (const std::string& action : walk.disk.actions)
            CHECK(action.rfind("list", 0) == 0);
        CHECK(walk.disk.Exists("C:\\top\\a.txt"));
    }
    SUBCASE("a subfolder, through a share of the local disk: skipped and not removed")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.context.machine.protectedFolders[2] = "\\\\localhost\\C$\\top\\sub1";
        walk.disk.SameIdentity("\\\\localhost\\C$\\top\\sub1", "C:\\top\\sub1");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\top\\sub1\\b.txt"));
        CHECK_FALSE(walk.disk.Exists("C:\\top\\sub2"));
    }
    SUBCASE("an empty protected folder is never removed, by path or by identity")
    {
        Walk walk;
        walk.disk.AddFolder("C:\\Windows\\Fonts");
        walk.disk.AddFolder("C:\\Desktop");
        walk.context.machine.protectedFolders[2] = "C:\\WINDOWS\\FONTS";
        walk.context.machine.protectedFolders[5] = "E:\\Desktop";
        walk.disk.SameIdentity("E:\\Desktop", "C:\\Desktop");
        RemoveFolderIfEmpty(walk.context, "C:\\Windows\\Fonts", walk.disk);
        RemoveFolderIfEmpty(walk.context, "C:\\Desktop", walk.disk);
        CHECK(walk.disk.Exists("C:\\Windows\\Fonts"));
        CHECK(walk.disk.Exists("C:\\Desktop"));
        CHECK(walk.channel.questions.empty());
    }
}

TEST_CASE("after a link is removed, the link is gone and its target is still there")
{
    SUBCASE("removed: named, its target untouched")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFolder("C:\\elsewhere");
        walk.disk.AddFile("C:\\elsewhere\\t.txt");
        walk.disk.AddFileLink("C:\\top\\file-link");
        walk.disk.PointLink("C:\\top\\file-link", "C:\\elsewhere\\t.txt");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Exists("C:\\elsewhere\\t.txt"));
        CHECK(walk.Texts() == std::vector<std::string>{"link\nC:\\top\\file-link"});
    }
    SUBCASE("a removal that answers success but leaves the link")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFileLink("C:\\top\\file-link");
        walk.disk.linksThatStay.insert("C:\\top\\file-link");
        CHECK(walk.Run() == FolderResult::Done);
        REQUIRE(walk.channel.questions.size() == 1);
        const std::string& text = walk.channel.questions[0].text;
        CHECK(text.rfind("link stays\nC:\\top\\file-link\n", 0) == 0);
        CHECK(text.size() > std::strlen("link stays\nC:\\top\\file-link\n"));
    }
    SUBCASE("a removal that took the target with it is not called a link removed")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFolder("C:\\elsewhere");
        walk.disk.AddFolderLink("C:\\top\\folder-link");
        walk.disk.PointLink("C:\\top\\folder-link", "C:\\elsewhere");
        walk.disk.linksTakingTargets.insert("C:\\top\\folder-link");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.Texts() == std::vector<std::string>{"target gone\nC:\\top\\folder-link"});
    }
}

TEST_CASE("a child path that does not fit 260 characters is refused, never cut")
{
    const std::string top = "C:\\top";
    // top + '\' + name: 259 characters fit with the terminator, 260 do not.
    const std::string fits = top + "\\" + std::string(259 - top.size() - 1, 'f');
    const std::string tooLong = top + "\\" + std::string(260 - top.size() - 1, 'g');
    Walk walk;
    walk.Policy(2, 2);
    walk.disk.AddFile(fits);
    walk.disk.AddFile(tooLong);
    const std::string deepName = top + "\\" + std::string(250, 'd');  // fits, its "\*.*" pattern does not
    walk.disk.AddFolder(deepName);
    CHECK(walk.Run() == FolderResult::Done);
    CHECK_FALSE(walk.disk.Exists(fits));
    CHECK(walk.disk.Exists(tooLong));
    CHECK(walk.Texts() == std::vector<std::string>{"too long\n" + tooLong, "too long\n" + deepName});
    CHECK(walk.disk.Exists(deepName));
}

TEST_CASE("a failed removal names the folder, the runtime's reason and its number")
{
    Walk walk;
    walk.Policy(2, 2);
    walk.disk.keep.insert("C:\\top\\sub2\\d.txt");  // as a locked file stays
    CHECK(walk.Run() == FolderResult::Done);
    REQUIRE(walk.channel.questions.size() == 1);
    CHECK(walk.channel.questions[0].style == WarningStyle::Notice);
    // 9043 has its "#" replaced; 9044 is appended with its "#" kept.
    CHECK(walk.channel.questions[0].text ==
          "not removed\nC:\\top\\sub2\nwhy: " + std::string(strerror(ENOTEMPTY)) + " [" + std::to_string(ENOTEMPTY) + "]#");
    CHECK(walk.disk.Exists("C:\\top\\sub2"));
    CHECK_FALSE(walk.disk.Exists("C:\\top\\e.txt"));  // the walk went on
}

TEST_CASE("an emptied folder is removed under a random name, or keeps or gets back its own")
{
    SUBCASE("after a removal two empty files of its name's length are made in the parent and deleted")
    {
        Walk walk;
        walk.disk.AddFolder("C:\\top\\old.name");
        RemoveFolderIfEmpty(walk.context, "C:\\top\\old.name", walk.disk);
        walk.CheckRenames();
        CHECK(walk.disk.actions.back() == "rmdir C:\\top\\old.name (renamed)");
        REQUIRE(walk.disk.scratch.size() == 4);
        for (int i = 0; i < 4; ++i) {
            const std::string& step = walk.disk.scratch[i];
            CAPTURE(step);
            const std::string verb = i < 2 ? "make " : "delete ";
            REQUIRE(step.compare(0, verb.size(), verb) == 0);
            const std::string made = step.substr(verb.size());
            CHECK(made.size() == std::string("C:\\top\\old.name").size());
            CHECK(made.compare(0, 7, "C:\\top\\") == 0);
            CHECK(made[10] == '.');  // the dot stays where it was
            CHECK(made != "C:\\top\\old.name");
        }
        CHECK(walk.disk.scratch[2] == "delete " + walk.disk.scratch[0].substr(5));
        CHECK(walk.disk.scratch[3] == "delete " + walk.disk.scratch[1].substr(5));
        CHECK(walk.disk.Names("C:\\top") == Actions{"a.txt", "sub1", "sub2", "e.txt"});
    }
    SUBCASE("a removal that fails: the name is given back before the folder is named in the report")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.removeErrors["C:\\top\\sub2"] = EACCES;
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "name back C:\\top\\sub2") == 1);
        CHECK(walk.disk.Names("C:\\top") == Actions{"sub2"});
        CHECK(walk.disk.scratch.size() == 8);  // after sub1\deep and sub1, none after sub2
        CHECK(walk.Texts() == std::vector<std::string>{"not removed\nC:\\top\\sub2\nwhy: " + std::string(strerror(EACCES)) +
                                                      " [" + std::to_string(EACCES) + "]#"});
    }
    SUBCASE("a name that cannot be given back: the report names the folder where it stands")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.removeErrors["C:\\top\\sub2"] = EACCES;
        walk.disk.nameBackFails = true;
        CHECK(walk.Run() == FolderResult::Done);
        const std::string now = walk.OtherEntry("C:\\top", {});
        REQUIRE(now.size() == std::string("C:\\top\\sub2").size());
        CHECK(now != "C:\\top\\sub2");
        CHECK(walk.Texts() == std::vector<std::string>{"not removed\n" + now + "\nwhy: " + std::string(strerror(EACCES)) +
                                                      " [" + std::to_string(EACCES) + "]#"});
    }
    SUBCASE("a random name taken by a sibling: another draw, and after three its own name")
    {
        for (int taken : {2, 3}) {
            CAPTURE(taken);
            Walk walk;
            walk.disk.AddFolder("C:\\gone");
            walk.disk.renamesTaken = taken;
            RemoveFolderIfEmpty(walk.context, "C:\\gone", walk.disk);
            walk.CheckRenames();
            CHECK_FALSE(walk.disk.Exists("C:\\gone"));
            CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rename C:\\gone") == std::min(taken + 1, 3));
            CHECK(walk.disk.actions.back() == (taken < 3 ? "rmdir C:\\gone (renamed)" : "rmdir C:\\gone"));
        }
    }
    SUBCASE("never renamed: a folder not empty, one reached by its short name, the bin's own folders, roots")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.keep.insert("C:\\top\\sub2\\d.txt");
        walk.disk.AddListedFolder("C:\\top", "\xC5ngstr\xF6m", false, "NGSTR~1");
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rmdir C:\\top\\sub2") == 1);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rmdir C:\\top\\NGSTR~1") == 1);
        CHECK_FALSE(walk.disk.Exists("C:\\top\\NGSTR~1"));

        for (const char* own : {"C:\\RECYCLER", "C:\\RECYCLER\\S-1-5-21-1", "D:\\$Recycle.Bin\\S-1-5-21-1", "E:\\recycled"}) {
            CAPTURE(own);
            walk.disk.AddFolder(own);
            RemoveFolderIfEmpty(walk.context, own, walk.disk);
            CHECK_FALSE(walk.disk.Exists(own));
            CHECK(walk.disk.actions.back() == std::string("rmdir ") + own);
        }
        walk.disk.AddFolder("C:\\RECYCLER\\S-1-5-21-1\\Dc4");  // a deleted folder in a bin is a user's
        RemoveFolderIfEmpty(walk.context, "C:\\RECYCLER\\S-1-5-21-1\\Dc4", walk.disk);
        CHECK(walk.disk.actions.back() == "rmdir C:\\RECYCLER\\S-1-5-21-1\\Dc4 (renamed)");

        for (const char* root : {"F:\\", "\\\\server\\share"}) {
            CAPTURE(root);
            walk.disk.AddFolder(root);
            RemoveFolderIfEmpty(walk.context, root, walk.disk);
            CHECK(walk.disk.actions.back() == std::string("rmdir ") + root);
        }
        walk.CheckRenames();
    }
    SUBCASE("a protected folder met in a forced walk is removed without being renamed")
    {
        Walk walk;
        walk.context.machine.protectedFolders[3] = "C:\\top\\sub2";
        CHECK(walk.Run("C:\\top", false, WalkMode::Forced) == FolderResult::Done);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rmdir C:\\top\\sub2") == 1);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rename C:\\top\\sub2") == 0);
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "rmdir C:\\top\\sub1 (renamed)") == 1);
    }
}

TEST_CASE("RemoveFolderIfEmpty")
{
    SUBCASE("a folder with nothing but . and .. is removed")
    {
        Walk walk;
        walk.disk.AddFolder("C:\\empty");
        RemoveFolderIfEmpty(walk.context, "C:\\empty", walk.disk);
        CHECK_FALSE(walk.disk.Exists("C:\\empty"));
        CHECK(walk.disk.openListings == 0);
        CHECK_FALSE(walk.context.incomplete);
    }
    SUBCASE("a folder with anything in it stays, without a message")
    {
        Walk walk;
        RemoveFolderIfEmpty(walk.context, "C:\\top\\sub2", walk.disk);
        CHECK(walk.disk.Exists("C:\\top\\sub2"));
        CHECK(walk.channel.questions.empty());
        CHECK(walk.disk.openListings == 0);
    }
    SUBCASE("a folder that cannot be listed is left without a message")
    {
        Walk walk;
        RemoveFolderIfEmpty(walk.context, "C:\\missing", walk.disk);
        CHECK(walk.disk.actions.empty());
        CHECK(walk.channel.questions.empty());
    }
    SUBCASE("a failed removal is reported in style 4")
    {
        Walk walk;
        walk.disk.AddFolder("C:\\empty");
        walk.disk.removeErrors["C:\\empty"] = EACCES;
        RemoveFolderIfEmpty(walk.context, "C:\\empty", walk.disk);
        CHECK(walk.context.incomplete);  // the folder chosen is still there
        REQUIRE(walk.channel.questions.size() == 1);
        CHECK(walk.channel.questions[0].style == WarningStyle::Error);
        CHECK(walk.channel.questions[0].text ==
              "not removed\nC:\\empty\nwhy: " + std::string(strerror(EACCES)) + " [" + std::to_string(EACCES) + "]#");
    }
}

TEST_CASE("CheckFolderForSchedule settles the subfolder policy once and stores it")
{
    auto threeSubfolders = [](Walk& walk) {
        walk.disk.AddFolder("C:\\top\\sub3");
        walk.disk.AddFile("C:\\top\\sub3\\x");
    };
    SUBCASE("Yes to 9055 stores always; the question is asked once")
    {
        Walk walk;
        threeSubfolders(walk);
        walk.Policy(1, 0);
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", false, walk.disk) == ScheduleCheck::Passed);
        CHECK(walk.Texts() == std::vector<std::string>{"subfolders too?#"});
        CHECK(Settings::ReadNumber("Folder", -1) == 2);
        CHECK(walk.disk.openListings == 0);
        // Every folder was listed, nothing was changed.
        CHECK(walk.disk.Exists("C:\\top\\sub1\\deep\\c.txt"));
        CHECK(std::count(walk.disk.actions.begin(), walk.disk.actions.end(), "list C:\\top\\sub1\\deep") == 1);
    }
    SUBCASE("No to 9055 stores never and looks into no subfolder")
    {
        Walk walk;
        walk.Policy(1, 1);
        walk.channel.answers = {Answer::No};
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", false, walk.disk) == ScheduleCheck::Passed);
        CHECK(walk.Texts() == std::vector<std::string>{"subfolders too?#"});
        CHECK(Settings::ReadNumber("Folder", -1) == 0);
        CHECK(Settings::ReadNumber("Remove", -1) == 1);
        CHECK(walk.disk.actions == Actions{"list C:\\top"});
    }
    SUBCASE("9056 is asked once; No stores never")
    {
        Walk walk;
        walk.Policy(2, 1);
        walk.channel.answers = {Answer::No};
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", false, walk.disk) == ScheduleCheck::Passed);
        CHECK(walk.Texts() == std::vector<std::string>{"remove them?#"});
        CHECK(Settings::ReadNumber("Remove", -1) == 0);
    }
    SUBCASE("Cancel to either question cancels")
    {
        Walk walk;
        walk.Policy(1, 1);
        walk.channel.answers = {Answer::Positive, Answer::Cancel};
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", false, walk.disk) == ScheduleCheck::Cancelled);
        CHECK(walk.disk.openListings == 0);
    }
    SUBCASE("a read-only file asks 9054 in style 1; a negative ending cancels")
    {
        Walk walk;
        walk.Policy(2, 2);
        walk.disk.AddFile("C:\\top\\sub2\\ro", FILE_ATTRIBUTE_READONLY);
        walk.channel.answers = {Answer::Cancel};
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", false, walk.disk) == ScheduleCheck::Cancelled);
        CHECK(walk.Texts() == std::vector<std::string>{"attributes\nC:\\top\\sub2\\ro"});
        CHECK(walk.channel.questions[0].style == WarningStyle::GoOnQuestion);
        CHECK(walk.disk.openListings == 0);
    }
    SUBCASE("a system folder asks 9040 in style 1 first")
    {
        Walk walk;
        walk.channel.answers = {Answer::Cancel};
        CHECK(CheckFolderForSchedule(walk.context, "C:\\top", true, walk.disk) == ScheduleCheck::Cancelled);
        CHECK(walk.Texts() == std::vector<std::string>{"system\nC:\\top"});
        CHECK(walk.channel.questions[0].style == WarningStyle::GoOnQuestion);
        CHECK(walk.disk.actions.empty());
    }
    SUBCASE("a folder that cannot be listed cancels with 9011")
    {
        Walk walk;
        CHECK(CheckFolderForSchedule(walk.context, "C:\\missing", false, walk.disk) == ScheduleCheck::Cancelled);
        CHECK(walk.Texts() == std::vector<std::string>{"cannot list#"});
    }
}

TEST_CASE("CheckFolderFileForSchedule")
{
    Walk walk;
    walk.disk.AddFile("C:\\top\\hidden", FILE_ATTRIBUTE_HIDDEN);
    walk.disk.AddFile("C:\\top\\system", FILE_ATTRIBUTE_SYSTEM);
    CHECK(CheckFolderFileForSchedule(walk.context, "C:\\top\\a.txt", walk.disk) == ScheduleCheck::Passed);
    CHECK(walk.channel.questions.empty());
    CHECK(CheckFolderFileForSchedule(walk.context, "C:\\top\\gone", walk.disk) == ScheduleCheck::Missing);
    CHECK(walk.Texts().back() == "missing\nC:\\top\\gone");
    CHECK(walk.channel.questions.back().style == WarningStyle::Notice);
    walk.channel.answers = {Answer::Positive, Answer::No};
    CHECK(CheckFolderFileForSchedule(walk.context, "C:\\top\\hidden", walk.disk) == ScheduleCheck::Passed);
    CHECK(CheckFolderFileForSchedule(walk.context, "C:\\top\\system", walk.disk) == ScheduleCheck::Cancelled);
}

TEST_CASE("on NTFS a walked folder's index is refilled with long names and emptied again")
{
    // The entries of a folder the walk took: what remains in the scratch steps below it.
    auto stepsIn = [](const Walk& walk, const std::string& verb, const std::string& folder) {
        std::vector<std::string> names;
        for (const std::string& step : walk.disk.scratch) {
            if (step.compare(0, verb.size(), verb) != 0)
                continue;
            std::string path = step.substr(verb.size());
            if (path.compare(0, folder.size() + 1, folder + "\\") == 0 && path.find('\\', folder.size() + 1) == std::string::npos)
                names.push_back(path.substr(folder.size() + 1));
        }
        return names;
    };

    SUBCASE("every folder the walk went through, with room for twice its old entries; all deleted")
    {
        Walk walk;
        walk.context.machine.drives[2].ntfs = true;
        for (int i = 0; i < 40; ++i)
            walk.disk.AddFile("C:\\top\\sub2\\a file with a rather long name number " + std::to_string(i) + ".txt");
        walk.Policy(2, 2);
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.Names("C:\\top").empty());

        const std::vector<std::string> big = stepsIn(walk, "make ", "C:\\top\\sub2");
        const std::vector<std::string> small = stepsIn(walk, "make ", "C:\\top\\sub1\\deep");
        // 40 names of some 45 characters take about 7 KiB of index: at least 2 * 7 KiB in names
        // of 200 characters (about 480 bytes each), where one entry needs hardly one.
        CHECK(big.size() >= 30);
        CHECK(small.size() >= 9);
        CHECK(small.size() < big.size());
        CHECK(stepsIn(walk, "make ", "C:\\top").size() >= 9);
        for (const std::string& name : big) {
            CAPTURE(name);
            CHECK(name.size() == 200);
            CHECK(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") == std::string::npos);
        }
        CHECK(stepsIn(walk, "delete ", "C:\\top\\sub2") == big);
        CHECK(stepsIn(walk, "delete ", "C:\\top\\sub1\\deep") == small);
    }
    SUBCASE("not on other file systems, nor after a stop")
    {
        Walk walk;
        walk.Policy(2, 2);
        CHECK(walk.Run() == FolderResult::Done);
        CHECK(walk.disk.scratch.size() == 12);  // only the parents' two names after each removal

        Walk stopped;
        stopped.context.machine.drives[2].ntfs = true;
        stopped.Policy(2, 2);
        stopped.context.stopRequest = 1;
        stopped.Run();
        CHECK(stopped.disk.scratch.empty());
    }
    SUBCASE("a folder path too long for long names gets none")
    {
        Walk walk;
        walk.context.machine.drives[2].ntfs = true;
        std::string deep = "C:\\top\\" + std::string(236, 'x');  // 15 characters left for a name
        walk.disk.AddFolder(deep);
        walk.disk.AddFile(deep + "\\f.txt");
        walk.Policy(2, 0);
        walk.Run();
        CHECK(stepsIn(walk, "make ", deep).empty());
        CHECK_FALSE(stepsIn(walk, "make ", "C:\\top").empty());
    }
}
