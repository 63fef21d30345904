// The pages behind the main window's areas, driven directly: their lists, the checks their
// entries go through before the engine sees them, the questions they ask and what they store.
#include "common/Settings.h"
#include "engine/FileShredder.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/MainWindowFakes.h"
#include "ui/ItemPages.h"

#include <doctest/doctest.h>

#include <climits>
#include <cstring>

using namespace uitest;

namespace {

struct Pages {
    test::FreshSettings settings;
    test::TempFolder logFolder{"pages"};
    test::ScriptedChannel channel;
    ShredContext context;
    ScriptedDialogs dialogs;
    RecordingShredders shredders;
    PageSupport support{context, shredders, dialogs};
    CMyPropertyPage1 page1{support};
    CMyPropertyPage2 page2{support};
    CMyPropertyPage3 page3{support};
    CMyPropertyPage4 page4{support};
    CMyPropertyPage5 page5{support};

    Pages()
    {
        test::PrepareShredder(context, channel, logFolder.Path());
        context.parentWindow = reinterpret_cast<HWND>(0x1234);  // only handed on, never used here
    }
    std::string Text(int key) const { return context.LookupText(key); }
    std::string Text(int key, const std::string& path) const
    {
        return MessageText::WithPath(MessageText::ExpandLineBreaks(context.LookupText(key)), path);
    }
    std::vector<std::string> QuestionTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
};

const DWORD File = FILE_ATTRIBUTE_ARCHIVE;
const DWORD Folder = FILE_ATTRIBUTE_DIRECTORY;

class StubProgress : public ProgressView {
public:
    void ShowAndEnable() override {}
    void SetLine(int, const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void SetRange(long long) override {}
    void SetPosition(long long) override {}
    void Repaint() override {}
};

}  // namespace

TEST_CASE("a list keeps distinct entries in order, compared exactly")
{
    ItemList list;
    CHECK(list.Append("C:\\a.txt"));
    CHECK(list.Append("C:\\A.txt"));  // letter case makes another entry
    CHECK_FALSE(list.Append("C:\\a.txt"));
    CHECK(list.Append("C:\\b c.txt"));
    CHECK(list.Entries() == std::vector<std::string>{"C:\\a.txt", "C:\\A.txt", "C:\\b c.txt"});
    CHECK(list.Find("C:\\A.txt") == 1);
    CHECK(list.Find("c:\\a.txt") == ItemList::npos);
    CHECK(list.Find("C:\\a.txt ") == ItemList::npos);
    list.RemoveAt(0);
    CHECK(list.Entries() == std::vector<std::string>{"C:\\A.txt", "C:\\b c.txt"});
    list.RemoveAt(7);  // nothing there
    CHECK(list.Count() == 2);
}

TEST_CASE("the task lookup gives the first task of that exact name and its index")
{
    TaskList tasks;
    tasks.Append("Weekly", 3);
    tasks.Append("weekly", 5);
    tasks.Append("Weekly", 7);
    CHECK(tasks.Find("Weekly") == 0);
    CHECK(tasks.TaskIndexAt(tasks.Find("Weekly")) == 3);
    CHECK(tasks.TaskIndexAt(tasks.Find("weekly")) == 5);
    CHECK(tasks.Find("WEEKLY") == TaskList::npos);
    CHECK(tasks.Find("") == TaskList::npos);
    tasks.RemoveAt(0);
    CHECK(tasks.TaskIndexAt(tasks.Find("Weekly")) == 7);
}

TEST_CASE("the open-file dialog's result: one path, or a folder and the names chosen in it")
{
    struct Case {
        std::string result;
        std::vector<std::string> paths;
    } cases[] = {
        {std::string("C:\\docs\\a.txt\0", 14), {"C:\\docs\\a.txt"}},
        {std::string("C:\\docs\0a.txt\0b c.txt\0", 22), {"C:\\docs\\a.txt", "C:\\docs\\b c.txt"}},
        {std::string("C:\\\0a.txt\0b.txt\0", 16), {"C:\\a.txt", "C:\\b.txt"}},
        // Wine gives names typed as full paths back as they were typed.
        {std::string("Z:\\tmp\0Z:\\tmp\\a.txt\0\\\\server\\share\\b.txt\0", 41),
         {"Z:\\tmp\\a.txt", "\\\\server\\share\\b.txt"}},
        {std::string("\0", 1), {}},
    };
    for (const Case& c : cases) {
        std::string buffer = c.result + std::string(1, '\0');
        CAPTURE(c.result);
        CHECK(SplitOpenFileResult(buffer.data(), buffer.size()) == c.paths);
    }
    // A result without its final zeroes ends at the buffer's end.
    const char unterminated[] = {'C', ':', '\\', 'x'};
    CHECK(SplitOpenFileResult(unterminated, sizeof(unterminated)) == std::vector<std::string>{"C:\\x"});
}

TEST_CASE("the pass count of a command reads like a signed decimal number")
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"3", 3},   {" 7", 7},  {"\t+4", 4}, {"-2", -2},  {"12abc", 12}, {"abc", 0},
        {"", 0},    {"-", 0},   {"0", 0},    {"007", 7},  {"1 0", 1},    {"99999999999999", INT_MAX},
    };
    for (const Case& c : cases) {
        CAPTURE(c.text);
        CHECK(ParsePassCount(c.text) == c.value);
    }
}

TEST_CASE("stored shred settings out of range are corrected and stored back; valid ones are left alone")
{
    Pages pages;
    pages.page1.LoadSettings();
    CHECK(pages.page1.method == 0);
    CHECK(pages.page1.passCount == 3);
    CHECK_FALSE(test::ValueExists("Method"));
    CHECK_FALSE(test::ValueExists("PassCount"));

    Settings::WriteNumber("Method", 5);
    Settings::WriteNumber("PassCount", 0);
    pages.page1.LoadSettings();
    CHECK(pages.page1.method == 0);
    CHECK(pages.page1.passCount == 3);
    CHECK(Settings::ReadNumber("Method", -1) == 0);
    CHECK(Settings::ReadNumber("PassCount", -1) == 3);

    Settings::WriteNumber("Method", 1);
    Settings::WriteNumber("PassCount", 11);
    pages.page1.LoadSettings();
    CHECK(pages.page1.method == 1);
    CHECK(pages.page1.passCount == 3);
    CHECK(Settings::ReadNumber("PassCount", -1) == 3);
    CHECK(pages.channel.questions.empty());
}

TEST_CASE("the thorough method takes the pass count of its command, corrected to 1..10 with a notice")
{
    Pages pages;
    for (const char* nothing : {"0", "", "abc", "-0"}) {
        CAPTURE(nothing);
        CHECK(pages.page1.ChooseThorough(nothing) == 0);
    }
    CHECK_FALSE(test::ValueExists("Method"));
    CHECK_FALSE(test::ValueExists("PassCount"));
    CHECK(pages.channel.questions.empty());

    CHECK(pages.page1.ChooseThorough("3") == 3);
    CHECK(Settings::ReadNumber("Method", -1) == 1);
    CHECK_FALSE(test::ValueExists("PassCount"));  // the same as stored (the default)

    CHECK(pages.page1.ChooseThorough("25") == 10);
    CHECK(Settings::ReadNumber("PassCount", -1) == 10);
    REQUIRE(pages.channel.questions.size() == 1);
    CHECK(pages.channel.questions[0].style == WarningStyle::Error);
    CHECK(pages.channel.questions[0].text == pages.Text(9020));

    CHECK(pages.page1.ChooseThorough("-2") == 1);
    CHECK(Settings::ReadNumber("PassCount", -1) == 1);
    CHECK(pages.channel.questions.size() == 2);

    CHECK(pages.page1.ChooseThorough("7") == 7);
    CHECK(pages.page1.passCount == 7);
    CHECK(Settings::ReadNumber("PassCount", -1) == 7);
    CHECK(pages.channel.questions.size() == 2);

    pages.page1.ChooseQuick();
    CHECK(pages.page1.method == 0);
    CHECK(Settings::ReadNumber("Method", -1) == 0);
    CHECK(Settings::ReadNumber("PassCount", -1) == 7);
}

TEST_CASE("one browse adds every new file it chose and names each of them")
{
    Pages pages;
    pages.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\a.txt", "C:\\b c.txt", "C:\\d.txt"}});
    std::vector<std::string> added;
    CHECK(pages.page2.BrowseFiles(&added) == "C:\\d.txt");
    CHECK(added == std::vector<std::string>{"C:\\a.txt", "C:\\b c.txt", "C:\\d.txt"});
    CHECK(pages.page2.files.Entries() == added);
    REQUIRE(pages.dialogs.owners.size() == 1);
    CHECK(pages.dialogs.owners[0] == pages.context.parentWindow);

    // A file listed already is not added again; one differing in letter case is another file.
    pages.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\A.txt", "C:\\a.txt"}});
    added.clear();
    CHECK(pages.page2.BrowseFiles(&added) == "C:\\A.txt");
    CHECK(added == std::vector<std::string>{"C:\\A.txt"});

    pages.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\a.txt"}});
    added.clear();
    CHECK(pages.page2.BrowseFiles(&added).empty());
    CHECK(added.empty());

    // Cancelled.
    CHECK(pages.page2.BrowseFiles(&added).empty());
    CHECK(pages.page2.files.Count() == 4);
    CHECK(pages.channel.questions.empty());
}

TEST_CASE("a chosen path that does not fit is refused by name, never cut; too many names are reported")
{
    Pages pages;
    std::string tooLong = "C:\\" + std::string(300, 'x') + ".txt";
    std::string longest = "C:\\" + std::string(MAX_PATH - 4, 'y');  // 259 characters: fits
    pages.dialogs.files.push_back({ItemDialogs::Choice::Chosen, {"C:\\a.txt", tooLong, longest}});
    std::vector<std::string> added;
    CHECK(pages.page2.BrowseFiles(&added) == longest);
    CHECK(pages.page2.files.Entries() == std::vector<std::string>{"C:\\a.txt", longest});
    REQUIRE(pages.channel.questions.size() == 1);
    CHECK(pages.channel.questions[0].text == pages.Text(9071, tooLong));

    pages.dialogs.files.push_back({ItemDialogs::Choice::TooMany, {}});
    CHECK(pages.page2.BrowseFiles(&added).empty());
    REQUIRE(pages.channel.questions.size() == 2);
    CHECK(pages.channel.questions[1].style == WarningStyle::Notice);
    CHECK(pages.channel.questions[1].text == pages.Text(9144));
    CHECK(pages.page2.files.Count() == 2);
}

TEST_CASE("remove-all: a notice on an empty list, else a confirmation that only OK passes")
{
    Pages pages;
    CHECK_FALSE(pages.page2.RemoveAllFiles());
    CHECK_FALSE(pages.page3.RemoveAllFolders());
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9068), pages.Text(9069)});

    pages.page2.files.Append("C:\\a.txt");
    pages.page3.folders.Append("C:\\dir");
    pages.channel.answers = {Answer::Cancel, Answer::No};
    CHECK_FALSE(pages.page2.RemoveAllFiles());
    CHECK_FALSE(pages.page3.RemoveAllFolders());
    CHECK(pages.page2.files.Count() == 1);
    CHECK(pages.page3.folders.Count() == 1);
    CHECK(pages.page2.RemoveAllFiles());
    CHECK(pages.page3.RemoveAllFolders());
    CHECK(pages.page2.files.Empty());
    CHECK(pages.page3.folders.Empty());
    REQUIRE(pages.channel.questions.size() == 6);
    CHECK(pages.channel.questions[2].style == WarningStyle::Confirm);
    CHECK(pages.channel.questions[2].text == pages.Text(9066));
    CHECK(pages.channel.questions[3].text == pages.Text(9067));
    CHECK(pages.channel.questions[2].title == pages.context.title);
    CHECK(pages.shredders.calls.empty());
}

TEST_CASE("shred-now asks once, then hands every listed file on through the job's checks")
{
    Pages pages;
    CHECK_FALSE(pages.page2.ShredFilesNow());
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9021)});
    CHECK(pages.shredders.calls.empty());

    std::string tooLong = "C:\\" + std::string(300, 'z');
    for (const std::string& entry : {std::string("C:\\a.txt"), std::string("C:\\gone.txt"), std::string("C:\\dir"),
                                     std::string("C:\\link"), tooLong, std::string("C:\\b.txt")})
        pages.page2.files.Append(entry);
    pages.shredders.existing = {{"C:\\a.txt", File},
                                {"C:\\dir", Folder},
                                {"C:\\link", File | FILE_ATTRIBUTE_REPARSE_POINT},
                                {"C:\\b.txt", File | FILE_ATTRIBUTE_READONLY}};

    // Declined: nothing happens.
    pages.channel.questions.clear();
    pages.channel.answers = {Answer::Cancel};
    CHECK_FALSE(pages.page2.ShredFilesNow());
    CHECK(pages.page2.files.Count() == 6);
    CHECK(pages.shredders.calls.empty());
    REQUIRE(pages.channel.questions.size() == 1);
    CHECK(pages.channel.questions[0].style == WarningStyle::Confirm);
    CHECK(pages.channel.questions[0].text == pages.Text(9032));
    CHECK(pages.channel.questions[0].title == pages.Text(9064));

    pages.channel.questions.clear();
    pages.context.stopRequest = 1;  // left from an earlier run: cleared before this one
    pages.context.progressWindow.reset(new StubProgress);
    CHECK(pages.page2.ShredFilesNow());
    CHECK(pages.shredders.calls == std::vector<std::string>{"file:full:C:\\a.txt", "link:full:C:\\link",
                                                            "file:full:C:\\b.txt"});
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9032), pages.Text(9034, "C:\\gone.txt"),
                                                            pages.Text(9141, "C:\\dir"), pages.Text(9071, tooLong)});
    CHECK(pages.page2.files.Empty());
    CHECK_FALSE(pages.context.progressWindow);
}

TEST_CASE("a stop ends the run after the item in hand, and the list is emptied all the same")
{
    Pages pages;
    for (const char* name : {"C:\\1", "C:\\2", "C:\\3", "C:\\4", "C:\\5"}) {
        pages.page2.files.Append(name);
        pages.shredders.existing[name] = File;
    }
    pages.shredders.during = [&](const std::string& call) {
        if (call == "file:full:C:\\2")
            pages.context.stopRequest = 1;  // the progress window's Cancel
    };
    CHECK(pages.page2.ShredFilesNow());
    CHECK(pages.shredders.calls == std::vector<std::string>{"file:full:C:\\1", "file:full:C:\\2"});
    CHECK(pages.page2.files.Empty());

    // The engine's own stop.
    pages.shredders.calls.clear();
    pages.shredders.during = nullptr;
    for (const char* name : {"C:\\1", "C:\\2", "C:\\3"})
        pages.page2.files.Append(name);
    pages.shredders.fileResults["full:C:\\1"] = Flow::Stop;
    CHECK(pages.page2.ShredFilesNow());
    CHECK(pages.shredders.calls == std::vector<std::string>{"file:full:C:\\1"});
    CHECK(pages.page2.files.Empty());
}

TEST_CASE("shred-now on folders walks each, removes it when emptied, and goes on past refusals")
{
    Pages pages;
    CHECK_FALSE(pages.page3.ShredFoldersNow());
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9022)});
    pages.channel.questions.clear();

    for (const char* name : {"C:\\one", "C:\\system", "C:\\gone", "C:\\file.txt", "C:\\two", "C:\\three"})
        pages.page3.folders.Append(name);
    pages.shredders.existing = {{"C:\\one", Folder},
                                {"C:\\system", Folder | FILE_ATTRIBUTE_SYSTEM},
                                {"C:\\file.txt", File},
                                {"C:\\two", Folder},
                                {"C:\\three", Folder}};
    pages.shredders.folderStops["full:C:\\two"] = true;
    CHECK(pages.page3.ShredFoldersNow());
    CHECK(pages.shredders.calls == std::vector<std::string>{
                                       "folder:full:C:\\one", "removed-if-empty:C:\\one",
                                       "folder:full:C:\\system:system", "removed-if-empty:C:\\system",
                                       "folder:full:C:\\two"});
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9032), pages.Text(9140, "C:\\gone"),
                                                            pages.Text(9142, "C:\\file.txt")});
    CHECK(pages.page3.folders.Empty());
}

TEST_CASE("listed files go through the real checks: a name with wildcards names no file")
{
    Pages pages;
    test::TempFolder folder("wild");
    test::WriteFileBytes(folder / "a1.txt", "secret one");
    test::WriteFileBytes(folder / "a2.txt", "secret two");
    test::WriteFileBytes(folder / "b.txt", "secret three");
    PageSupport real{pages.context, JobShredders(), pages.dialogs};
    CMyPropertyPage2 page(real);
    page.files.Append(folder / "a*.txt");
    page.files.Append(folder / "b.txt");
    CHECK(page.ShredFilesNow());
    CHECK(test::ReadFileBytes(folder / "a1.txt") == "secret one");
    CHECK(test::ReadFileBytes(folder / "a2.txt") == "secret two");
    CHECK_FALSE(test::FileExists(folder / "b.txt"));
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9032), pages.Text(9034, folder / "a*.txt")});
}

TEST_CASE("a browsed folder is added once; a whole drive, a cancel or an item without a path adds nothing")
{
    Pages pages;
    pages.dialogs.folders = {"C:\\data", "C:\\data", "C:\\Data", "", "C:\\", "D:\\photos"};
    CHECK(pages.page3.BrowseFolder() == "C:\\data");
    CHECK(pages.page3.BrowseFolder().empty());
    CHECK(pages.page3.BrowseFolder() == "C:\\Data");
    CHECK(pages.page3.BrowseFolder().empty());
    CHECK(pages.page3.BrowseFolder().empty());
    CHECK(pages.QuestionTexts() == std::vector<std::string>{pages.Text(9143, "C:\\")});
    CHECK(pages.page3.BrowseFolder() == "D:\\photos");
    pages.dialogs.folderCancelled = true;
    CHECK(pages.page3.BrowseFolder().empty());
    CHECK(pages.page3.folders.Entries() == std::vector<std::string>{"C:\\data", "C:\\Data", "D:\\photos"});
    CHECK(pages.dialogs.owners.back() == pages.context.parentWindow);
}

TEST_CASE("subfolder options store only what changed, and only after OK")
{
    Pages pages;
    pages.dialogs.subfolderAnswers = {{0, 0}};
    pages.page3.EditSubfolderOptions();
    CHECK_FALSE(test::ValueExists("Folder"));
    CHECK_FALSE(test::ValueExists("Remove"));

    Settings::WriteNumber("Folder", 1);
    Settings::WriteNumber("Remove", 2);
    pages.dialogs.subfolderAnswers = {{2, 2}};
    pages.page3.EditSubfolderOptions();
    CHECK(Settings::ReadNumber("Folder", -1) == 2);
    CHECK(Settings::ReadNumber("Remove", -1) == 2);
    REQUIRE(pages.dialogs.subfolderShown.size() == 2);
    CHECK(pages.dialogs.subfolderShown[1].contents == 1);
    CHECK(pages.dialogs.subfolderShown[1].removal == 2);

    // Cancelled: nothing is stored.
    pages.page3.EditSubfolderOptions();
    CHECK(Settings::ReadNumber("Folder", -1) == 2);
    CHECK(pages.dialogs.subfolderShown.size() == 3);
}

TEST_CASE("a drive label becomes its root; a label the window never offered wipes nothing")
{
    Pages pages;
    std::memcpy(pages.context.machine.drives[3].root, "D:\\", 4);
    std::memcpy(pages.context.machine.drives[2].root, "C:\\", 4);
    for (const char* label : {"D:", "d:", "X:", "C:\\Windows", "", "D", "1:", "C:"})
        pages.page4.ShredDriveNow(label);
    CHECK(pages.shredders.calls == std::vector<std::string>{"wipe:D:\\", "wipe:D:\\", "wipe:C:\\"});

    pages.page5.ShredRecycleBinNow();
    CHECK(pages.shredders.calls.back() == "bin");
}
