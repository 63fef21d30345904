#include "app/CommandLine.h"
#include "common/Settings.h"
#include "app/ShredApp.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <random>

namespace {

std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    ParseCommandLine(line, [&](const std::string& token) {
        tokens.push_back(token);
        return true;
    });
    return tokens;
}

using Strings = std::vector<std::string>;

// A job parsed by the application's own handler, with its log in a temporary folder.
struct ParsedJob {
    test::FreshSettings settings;
    test::TempFolder folder{"cmdline"};
    ShredApp app;

    explicit ParsedJob(const std::string& line)
    {
        Settings::WriteString("AppPath", folder.Path());
        app.ParseCommandLine(line);
    }
    std::string Log() const { return test::ReadFileBytes(folder / "log.txt"); }
};

}  // namespace

TEST_CASE("tokens of the unquoted form are split at runs of spaces")
{
    struct Case {
        const char* line;
        Strings tokens;
    } cases[] = {
        {"recycle", {"recycle"}},
        {"", {}},
        {"    ", {}},
        {"  a   b  ", {"a", "b"}},
        {"/O1 /T3 C:\\x", {"/O1", "/T3", "C:\\x"}},
        {"a\tb", {"a\tb"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        CHECK(Tokens(c.line) == c.tokens);
    }
}

TEST_CASE("tokens of the quoted form are the texts between pairs of quotes")
{
    struct Case {
        const char* line;
        Strings tokens;
    } cases[] = {
        {"\"C:\\x\" \"C:\\y\" \"", {"C:\\x", "C:\\y"}},     // context-menu line with its lone quote
        {"\"/s\" \"Bin\" \"/O0\" \"/T3\" recycle", {"/s", "Bin", "/O0", "/T3"}},  // unquoted word ignored
        {"before \"a b\" between \"c\" after", {"a b", "c"}},
        {"\"\"", {""}},
        {"\"", {}},
        {"\"a\" \"unterminated path", {"a"}},  // a half-read path never becomes a token
        {"\"unterminated", {}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        CHECK(Tokens(c.line) == c.tokens);
    }
}

TEST_CASE("parsing stops when the handler refuses a token")
{
    int calls = 0;
    ParseCommandLine("a b c", [&](const std::string&) { return ++calls < 2; });
    CHECK(calls == 2);
}

TEST_CASE("switch values are read like atoi, from the third character on")
{
    CHECK(LeadingNumber("12abc") == 12);
    CHECK(LeadingNumber("") == 0);
    CHECK(LeadingNumber("abc") == 0);
    CHECK(LeadingNumber("  -7") == -7);
    CHECK(LeadingNumber("+3") == 3);
    CHECK(LeadingNumber("99999999999999999999") == 2147483647);
    CHECK(LeadingNumber("-99999999999999999999") == -2147483647 - 1);

    Argument t = ClassifyArgument("/T12abc");
    CHECK(t.kind == Argument::Switch);
    CHECK(t.letter == 'T');
    CHECK(t.value == 12);
    CHECK(ClassifyArgument("/T").value == 0);
    CHECK(ClassifyArgument("/t3").kind == Argument::Ignored);
    CHECK(ClassifyArgument("/").kind == Argument::Ignored);
    CHECK(ClassifyArgument("/S").kind == Argument::Ignored);
    CHECK(ClassifyArgument("/s").kind == Argument::Silent);
    CHECK(ClassifyArgument("recycle").kind == Argument::Item);
    CHECK(ClassifyArgument("").kind == Argument::Item);
}

TEST_CASE("a scheduled file job gives silent mode, its task line, settings and items")
{
    ParsedJob job("\"/s\" \"Weekly\" \"/O1\" \"/T3\"  \"C:\\a.txt\" \"D:\\b c.doc\"");
    CHECK(job.app.context.silent);
    CHECK_FALSE(job.app.expectTaskName);
    CHECK(job.app.context.job.method == 1);
    CHECK(job.app.context.job.passCount == 3);
    CHECK(job.app.items == Strings{"C:\\a.txt", "D:\\b c.doc"});
    CHECK(job.Log() == "Task Name: Weekly\r\n");
}

TEST_CASE("a scheduled folder job sets both folder policies")
{
    ParsedJob job("\"/s\" \"Nightly\" \"/O0\" \"/T1\" \"/F2\" \"/R1\" \"C:\\data\"");
    CHECK(job.app.context.job.folderPolicy == 2);
    CHECK(job.app.context.job.removePolicy == 1);
    CHECK(job.app.items == Strings{"C:\\data"});
}

TEST_CASE("the recycle word counts only where the form reads it")
{
    ParsedJob quoted("\"/s\" \"Bin\" \"/O0\" \"/T3\" recycle");
    CHECK(quoted.app.context.silent);
    CHECK(quoted.app.items.empty());

    ParsedJob verb("recycle");
    CHECK_FALSE(verb.app.context.silent);
    CHECK(verb.app.items == Strings{"recycle"});
    CHECK(verb.Log().empty());
}

TEST_CASE("/s rules: last token, repeated, and switches after the task name")
{
    ParsedJob last("C:\\x /s");
    CHECK(last.app.context.silent);
    CHECK(last.app.expectTaskName);
    CHECK(last.app.items == Strings{"C:\\x"});
    CHECK(last.Log().empty());

    ParsedJob twice("/s first /s second C:\\y");
    CHECK(twice.Log() == "Task Name: first\r\nTask Name: second\r\n");
    CHECK(twice.app.items == Strings{"C:\\y"});

    // The token after /s is the task name even when it looks like a switch.
    ParsedJob named("/s /O1 /T2");
    CHECK(named.Log() == "Task Name: /O1\r\n");
    CHECK(named.app.context.job.method == 0);
    CHECK(named.app.context.job.passCount == 2);
}

TEST_CASE("unknown switches and lower-case letters change nothing")
{
    ParsedJob job("/t3 /X9 /o1 /T12abc /F /R-1");
    CHECK(job.app.context.job.passCount == 12);
    CHECK(job.app.context.job.method == 0);
    CHECK(job.app.context.job.folderPolicy == 0);
    CHECK(job.app.context.job.removePolicy == -1);
    CHECK(job.app.items.empty());
    CHECK_FALSE(job.app.context.silent);
}

TEST_CASE("the lines of scheduled tasks, written out")
{
    std::string items = TaskItem("C:\\a.txt", true) + TaskItem("D:\\b c.doc", false);
    CHECK(FilesTaskLine("Weekly", 1, 3, items) == "\"/s\" \"Weekly\" \"/O1\" \"/T3\" \"C:\\a.txt\" \"D:\\b c.doc\"");
    // The list's first entry left out: its blank stays in front of the second.
    CHECK(FilesTaskLine("Weekly", 0, 3, TaskItem("D:\\b.txt", false)) ==
          "\"/s\" \"Weekly\" \"/O0\" \"/T3\"  \"D:\\b.txt\"");
    CHECK(FoldersTaskLine("Nightly", 1, 10, 2, 1, TaskItem("C:\\My Data", true)) ==
          "\"/s\" \"Nightly\" \"/O1\" \"/T10\" \"/F2\" \"/R1\" \"C:\\My Data\"");
    CHECK(DriveTaskLine("Free C", 0, 3, "C:\\") == "\"/s\" \"Free C\" \"/O0\" \"/T3\" \"C:\\\"");
    CHECK(RecycleBinTaskLine("Bin", 1, 7) == "\"/s\" \"Bin\" \"/O1\" \"/T7\" \"recycle\"");
}

TEST_CASE("what a task's line gives the program is what the task was made of")
{
    struct Case {
        std::string line;
        int method, passCount, folderPolicy, removePolicy;
        Strings items;
    } cases[] = {
        {FilesTaskLine("Weekly files", 1, 3,
                       TaskItem("C:\\Program Files\\a b.txt", true) + TaskItem("\\\\server\\share\\c.txt", false)),
         1, 3, 0, 0, {"C:\\Program Files\\a b.txt", "\\\\server\\share\\c.txt"}},
        {FilesTaskLine("Second only", 0, 1, TaskItem("C:\\second one.txt", false)), 0, 1, 0, 0,
         {"C:\\second one.txt"}},
        {FoldersTaskLine("Folders", 1, 10, 2, 1, TaskItem("C:\\My Data", true) + TaskItem("D:\\old stuff", false)),
         1, 10, 2, 1, {"C:\\My Data", "D:\\old stuff"}},
        {FoldersTaskLine("Prompted", 0, 3, 1, 0, TaskItem("C:\\x", true)), 0, 3, 1, 0, {"C:\\x"}},
        {DriveTaskLine("Free space of C", 0, 3, "C:\\"), 0, 3, 0, 0, {"C:\\"}},
        {RecycleBinTaskLine("Recycle Bin", 1, 5), 1, 5, 0, 0, {"recycle"}},
        // Stored out of range: written as stored, and start-up corrects them at the run.
        {RecycleBinTaskLine("Odd", 7, 0), 7, 0, 0, 0, {"recycle"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        ParsedJob job(c.line);
        CHECK(job.app.context.silent);
        CHECK_FALSE(job.app.expectTaskName);
        CHECK(job.app.context.job.method == c.method);
        CHECK(job.app.context.job.passCount == c.passCount);
        CHECK(job.app.context.job.folderPolicy == c.folderPolicy);
        CHECK(job.app.context.job.removePolicy == c.removePolicy);
        CHECK(job.app.items == c.items);
    }
    ParsedJob named(FilesTaskLine("Weekly files", 1, 3, TaskItem("C:\\a.txt", true)));
    CHECK(named.Log() == "Task Name: Weekly files\r\n");
}

TEST_CASE("32 KiB of arbitrary bytes parse without a crash")
{
    test::FreshSettings settings;
    test::TempFolder folder("garbage");
    Settings::WriteString("AppPath", folder.Path());
    std::mt19937 random(20261209);
    for (int round = 0; round < 8; ++round) {
        std::string line(32 * 1024, ' ');
        for (char& ch : line) {
            ch = static_cast<char>(1 + random() % 255);
            if (round % 2 == 0 && random() % 50 == 0)
                ch = '"';
        }
        ShredApp app;
        app.ParseCommandLine(line);
        size_t total = 0;
        for (const std::string& item : app.items) {
            CHECK(item.find('"') == std::string::npos);
            total += item.size();
        }
        CHECK(total <= line.size());
    }
}

TEST_CASE("the program's name is taken off the full command line only when it is there")
{
    const std::string program = "C:\\Program Files\\Vantor Shredder\\Nullwright.exe";
    struct Case {
        const char* line;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\Vantor Shredder\\Nullwright.exe\" \"/s\" \"Weekly\"", "\"/s\" \"Weekly\""},
        {"Nullwright recycle", "recycle"},
        {"C:\\Program Files\\Vantor Shredder\\Nullwright.exe recycle", "recycle"},
        {"c:\\program files\\vantor shredder\\nullwright.exe", ""},
        {"NULLWRIGHT.EXE   \"C:\\x\" \"", "\"C:\\x\" \""},
        {"\"Nullwright.exe\"", ""},
        {"C:\\other\\nullwright.exe /s", "/s"},
        // Started with only its arguments, as some schedulers do.
        {"\"/s\" \"Weekly\" \"/O1\" \"/T3\" \"C:\\a.txt\"", "\"/s\" \"Weekly\" \"/O1\" \"/T3\" \"C:\\a.txt\""},
        {"recycle", "recycle"},
        {"  \"C:\\a.txt\" \"", "\"C:\\a.txt\" \""},
        {"\"", "\""},
        {"", ""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        CHECK(ArgumentsOf(c.line, program) == c.arguments);
    }
}

TEST_CASE("the program is recognised by its short name too")
{
    const std::string program = "C:\\Program Files\\Vantor Shredder\\Nullwright.exe";
    const std::string shortProgram = "C:\\PROGRA~1\\VANTOR~1\\NULLWR~1.EXE";
    struct Case {
        const char* line;
        const char* arguments;
    } cases[] = {
        {"\"C:\\PROGRA~1\\VANTOR~1\\NULLWR~1.EXE\" \"/s\" \"Weekly\" \"C:\\a.txt\"", "\"/s\" \"Weekly\" \"C:\\a.txt\""},
        {"C:\\PROGRA~1\\VANTOR~1\\NULLWR~1.EXE recycle", "recycle"},
        {"nullwr~1.exe \"C:\\x\" \"", "\"C:\\x\" \""},
        {"NULLWR~1 recycle", "recycle"},
        {"\"C:\\Program Files\\Vantor Shredder\\Nullwright.exe\" recycle", "recycle"},
        // Another program's short name is an item like any other text.
        {"\"C:\\PROGRA~1\\OTHER~1\\OTHERP~1.EXE\" \"/s\"", "\"C:\\PROGRA~1\\OTHER~1\\OTHERP~1.EXE\" \"/s\""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        CHECK(ArgumentsOf(c.line, program, shortProgram) == c.arguments);
    }
}
