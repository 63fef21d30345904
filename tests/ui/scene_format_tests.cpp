#include "tests/support/TestSupport.h"
#include "ui/SceneFormat.h"

#include <doctest/doctest.h>

namespace {

Scene::Description ParseOk(const std::string& text)
{
    Scene::Description scene;
    std::string error;
    bool parsed = Scene::Parse(text, scene, error);
    INFO("error: " << std::string(error));
    REQUIRE(parsed);
    return scene;
}

}  // namespace

TEST_CASE("a scene keeps its stage, font, elements, fields and frames")
{
    Scene::Description scene = ParseOk(
        "# comment\r\n"
        "movie 1 234 82\r\n"
        "font \"Segoe UI\" 9\r\n"
        "\r\n"
        "label 7 3 220 10 var=_root.title font=bold color=FFFFFF\n"
        "frame 2 3\n"
        "button 122 64 50 13 command=ID_FS_OK key=9080 text=\"O K\" default\n"
        "frame *\n"
        "list 0 20 100 40 value=_root.NamesOfFileItems add=_root.newEntry clear=_root.removeFileList\n");
    CHECK(scene.width == 234);
    CHECK(scene.height == 82);
    CHECK(scene.fontFace == "Segoe UI");
    CHECK(scene.fontPoints == 9);
    REQUIRE(scene.elements.size() == 3);

    const Scene::Element& label = scene.elements[0];
    CHECK(label.kind == Scene::Kind::Label);
    CHECK(label.x == 7);
    CHECK(label.y == 3);
    CHECK(label.width == 220);
    CHECK(label.height == 10);
    CHECK(label.Get("var") == "_root.title");
    CHECK(label.frames.empty());

    const Scene::Element& button = scene.elements[1];
    CHECK(button.kind == Scene::Kind::Button);
    CHECK(button.Get("text") == "O K");
    CHECK(button.Has("default"));
    CHECK(button.frames == std::vector<int>{2, 3});
    CHECK(button.line == 7);

    CHECK(scene.elements[2].frames.empty());
    CHECK(scene.frames == std::vector<int>{2, 3});
}

TEST_CASE("words split at blanks and quotes keep blanks and escapes")
{
    struct Case {
        const char* line;
        std::vector<std::string> words;
    } cases[] = {
        {"a b\tc", {"a", "b", "c"}},
        {"  lead  trail  ", {"lead", "trail"}},
        {"text=\"two words\"", {"text=two words"}},
        {"\"a \\\"quoted\\\" \\\\ word\"", {"a \"quoted\" \\ word"}},
        {"command=\"ID_FS_yes \"", {"command=ID_FS_yes "}},
        {"\"\"", {""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        INFO("c.line: " << std::string(c.line));
        std::vector<std::string> words;
        CHECK(Scene::SplitWords(c.line, words));
        CHECK(words == c.words);
    }
    std::vector<std::string> words;
    CHECK_FALSE(Scene::SplitWords("text=\"open", words));
}

TEST_CASE("colours are six hexadecimal digits")
{
    unsigned long rgb = 0;
    CHECK(Scene::ParseColour("E9EAEC", rgb));
    CHECK(rgb == 15330028);
    CHECK(Scene::ParseColour("00ff7f", rgb));
    CHECK(rgb == 0x00FF7F);
    for (const char* bad : {"", "FFF", "FFFFFFF", "GGGGGG", "#FFFFF", "12 456"}) {
        INFO("bad: " << std::string(bad));
        CHECK_FALSE(Scene::ParseColour(bad, rgb));
    }
}

TEST_CASE("every element of the main window's areas can be written")
{
    // Lists filled by signals and by indexed variables, combo boxes, edit fields, radio groups
    // that send commands, frame switching buttons: what a main window movie needs.
    Scene::Description scene = ParseOk(
        "movie 1 383 235\n"
        "list 5 5 200 80 value=_root.NamesOfFileItems add=_root.newEntry clear=_root.removeFileList "
        "selected=_root.selectedFile counter=_root.myCounter\n"
        "list 5 90 200 80 items=_root.NamesOfScheduleItems count=_root.myCounter2 done=_root.FirstTime "
        "clear=_root.removeScheduleList\n"
        "combo 210 5 60 12 items=_root.drivesCBLabels count=_root.driveCBLength selected=_root.drive\n"
        "button 210 20 60 14 text=Shred command=ID_FS_ShredDrive argvar=_root.drive\n"
        "radio 210 40 60 10 var=_root.quickShred value=0 text=Thorough group command=IDC_FS_ThroughShred "
        "argvar=_root.repeatNum\n"
        "edit 275 40 20 12 var=_root.repeatNum limit=2\n"
        "button 210 60 60 14 text=Folders goto=1\n"
        "drag 0 0 383 5\n"
        "icon 300 60 20 20 name=question\n"
        "group 300 90 60 40 key=9700\n"
        "panel 0 0 383 235 color=7A7A7A outline\n"
        "message 5 180 300 40 var=_root.massage\n");
    CHECK(scene.elements.size() == 12);
}

TEST_CASE("buttons and combo boxes may set a variable; combos may hold fixed choices; lists may drop")
{
    Scene::Description scene = ParseOk(
        "movie 1 200 100\n"
        "list 0 0 100 40 value=_root.v add=_root.a selected=_root.s drop=_root.d ellipsis=path\n"
        "button 0 42 40 12 text=Remove command=X argvar=_root.s set=_root.d=1\n"
        "combo 110 0 40 12 choices=\"1 2 10\" selected=_root.p command=IDC_P set=_root.q=0\n"
        "button 110 20 40 12 text=Clear goto=1 set=_root.note=\n");
    REQUIRE(scene.elements.size() == 4);
    CHECK(scene.elements[1].Get("set") == "_root.d=1");
    CHECK(scene.elements[2].Get("choices") == "1 2 10");
    std::string name, value;
    CHECK(Scene::SplitAssignment("_root.d=1", name, value));
    CHECK(name == "_root.d");
    CHECK(value == "1");
    CHECK(Scene::SplitAssignment("_root.note=", name, value));
    CHECK(value.empty());
    CHECK(Scene::SplitAssignment("_root.x=a=b", name, value));
    CHECK(name == "_root.x");
    CHECK(value == "a=b");
    CHECK_FALSE(Scene::SplitAssignment("_root.x", name, value));
    CHECK_FALSE(Scene::SplitAssignment("title=1", name, value));
}

TEST_CASE("malformed scenes are rejected with the line that is wrong")
{
    const std::string header = "movie 1 100 50\n";
    struct Case {
        const char* name;
        std::string text;
        const char* reason;  // part of the message
    } cases[] = {
        {"empty file", "", "empty"},
        {"only comments", "# nothing\n\n", "empty"},
        {"no header", "label 0 0 10 10 text=a\n", "must begin"},
        {"wrong version", "movie 2 100 50\n", "must begin"},
        {"zero stage", "movie 1 0 50\n", "must begin"},
        {"second header", header + "movie 1 100 50\n", "line 2"},
        {"unknown element", header + "slider 0 0 10 10\n", "unknown element \"slider\""},
        {"missing geometry", header + "label 0 0 10\n", "needs x, y"},
        {"text for a number", header + "label 0 0 10 text=a\n", "bad number"},
        {"negative number", header + "label -1 0 10 10 text=a\n", "bad number"},
        {"number too big", header + "label 0 0 99999999 10 text=a\n", "bad number"},
        {"outside the stage", header + "label 95 0 10 10 text=a\n", "beyond the stage"},
        {"label without text", header + "label 0 0 10 10\n", "needs the field \"text\""},
        {"button without command", header + "button 0 0 10 10 text=a\n", "needs the field \"command\""},
        {"radio without value", header + "radio 0 0 10 10 var=_root.a text=x\n", "needs the field \"value\""},
        {"unknown field", header + "label 0 0 10 10 text=a size=3\n", "no field \"size\""},
        {"field twice", header + "label 0 0 10 10 text=a text=b\n", "given twice"},
        {"flag with value", header + "button 0 0 10 10 text=a command=X default=1\n", "takes no value"},
        {"field without value", header + "label 0 0 10 10 text\n", "needs a value"},
        {"variable without _root", header + "label 0 0 10 10 var=title\n", "bad value"},
        {"bad colour", header + "panel 0 0 10 10 color=red\n", "bad value"},
        {"bad choice", header + "icon 0 0 10 10 name=skull\n", "bad value"},
        {"add without value", header + "list 0 0 10 10 add=_root.a\n", "needs \"value\""},
        {"items without count", header + "list 0 0 10 10 items=_root.a\n", "needs \"count\""},
        {"goto beyond frames", header + "button 0 0 10 10 text=a goto=100\n", "no such frame"},
        {"set without a value", header + "button 0 0 10 10 text=a command=X set=_root.a\n", "bad value"},
        {"set of no variable", header + "button 0 0 10 10 text=a command=X set=a=1\n", "bad value"},
        {"combo without entries", header + "combo 0 0 10 10 selected=_root.a\n", "needs the field \"items\""},
        {"combo with both", header + "combo 0 0 10 10 items=_root.a count=_root.n choices=\"1 2\"\n", "not both"},
        {"combo with no choices", header + "combo 0 0 10 10 choices=\"\"\n", "at least one"},
        {"drop without selected", header + "list 0 0 10 10 value=_root.v add=_root.a drop=_root.d\n", "needs \"selected\""},
        {"bad list ellipsis", header + "list 0 0 10 10 value=_root.v add=_root.a ellipsis=middle\n", "bad value"},
        {"bad frame", header + "frame x\n", "bad frame number"},
        {"empty frame line", header + "frame\n", "needs frame numbers"},
        {"bad font size", header + "font Tahoma 200\n", "font"},
        {"open quote", header + "label 0 0 10 10 text=\"abc\n", "quote"},
        {"zero byte", header + "label 0 0 10 10 text=a" + '\0' + "b\n", "zero byte"},
        {"huge line", header + "label 0 0 10 10 text=" + std::string(100000, 'x') + "\n", "larger than"},
        {"long line", header + "label 0 0 10 10 text=" + std::string(2000, 'x') + "\n", "line 2: longer than"},
        {"huge file", header + std::string(70000, '#'), "larger than"},
    };
    for (const Case& c : cases) {
        INFO("c.name: " << std::string(c.name));
        Scene::Description scene;
        scene.width = 7;
        std::string error;
        CHECK_FALSE(Scene::Parse(c.text, scene, error));
        CAPTURE(error);
        CHECK(error.find(c.reason) != std::string::npos);
        CHECK(scene.elements.empty());
        CHECK(scene.width == 0);
    }
}

TEST_CASE("elements too small to draw are refused")
{
    const std::string header = "movie 1 300 100\n";
    struct Case {
        const char* name;
        std::string text;
        const char* reason;  // part of the message, or null: the scene is valid
    } cases[] = {
        {"zero wide", header + "label 0 0 0 10 text=a\n", "line 2: label is too small to draw"},
        {"zero high", header + "panel 0 0 10 0 color=FFFFFF\n", "line 2: panel is too small to draw"},
        {"zero drag area", header + "drag 0 0 0 0\n", "too small to draw"},
        {"a line one unit high", header + "panel 0 0 300 1 color=D6D7D9\n", nullptr},
        {"path ellipsis one unit wide", header + "label 0 0 1 10 var=_root.states3 ellipsis=path\n",
         "line 2: a label with an ellipsis must be at least 18 wide"},
        {"end ellipsis one short", header + "label 0 0 17 10 var=_root.a ellipsis=end\n", "at least 18 wide"},
        {"ellipsis just wide enough", header + "label 0 0 18 10 var=_root.a ellipsis=path\n", nullptr},
        {"a narrow label without ellipsis", header + "label 0 0 1 10 var=_root.a\n", nullptr},
        {"a heading is larger", header + "label 0 0 20 10 var=_root.a font=heading ellipsis=path\n",
         "at least 24 wide"},
        {"a small font needs less", header + "label 0 0 16 10 var=_root.a font=small ellipsis=path\n", nullptr},
        {"the movie's font counts, also below the label",
         header + "label 0 0 30 10 var=_root.a ellipsis=path\nfont Tahoma 20\n", "line 2: a label with an ellipsis must be at least 40 wide"},
    };
    for (const Case& c : cases) {
        INFO("c.name: " << std::string(c.name));
        Scene::Description scene;
        std::string error;
        bool parsed = Scene::Parse(c.text, scene, error);
        CAPTURE(error);
        if (!c.reason) {
            CHECK(parsed);
            continue;
        }
        CHECK_FALSE(parsed);
        CHECK(error.find(c.reason) != std::string::npos);
        CHECK(scene.elements.empty());
    }
}

TEST_CASE("a scene may hold up to the element limit and no more")
{
    std::string text = "movie 1 100 50\n";
    for (size_t i = 0; i < Scene::MaxElements; ++i)
        text += "drag 0 0 1 1\n";
    Scene::Description scene = ParseOk(text);
    CHECK(scene.elements.size() == Scene::MaxElements);

    std::string error;
    CHECK_FALSE(Scene::Parse(text + "drag 0 0 1 1\n", scene, error));
    CHECK(error.find("more than") != std::string::npos);
}

TEST_CASE("the installed movies are valid scenes")
{
    for (const char* name : {"warnning.swf", "Bigwarn.swf", "progress.swf", "subfolder_options.swf", "aboutAs.swf",
                             "taskName.swf", "VantorShredder.swf", "Splash.spl"}) {
        INFO("name: " << std::string(name));
        std::string text = test::ReadFileBytes(test::DistFolder() + "\\Skin\\" + name);
        REQUIRE_FALSE(text.empty());
        Scene::Description scene;
        std::string error;
        bool parsed = Scene::Parse(text, scene, error);
        CAPTURE(error);
        CHECK(parsed);
    }
}
