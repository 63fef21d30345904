// The stand-ins for the skin and splash components: the skin file's rules, the outline it gives
// a window, and a splash that shows without taking anything from the window it covers.
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "ui/Skin.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

#include <cstdlib>

using namespace uitest;

namespace {

std::vector<SkinFile::Element> ParseOk(const std::string& text)
{
    std::vector<SkinFile::Element> elements;
    std::string error;
    bool parsed = SkinFile::Parse(text, elements, error);
    CAPTURE(error);
    CHECK(parsed);
    return elements;
}

// A plain window of the main window's kind: caption bar, system menu.
struct PlainWindow {
    HWND window = CreateWindowExA(0, "STATIC", "skinned", WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ~PlainWindow() { DestroyWindow(window); }
};

}  // namespace

TEST_CASE("a skin file names its elements and their shapes")
{
    std::vector<SkinFile::Element> elements = ParseOk(
        "# comment\r\n\r\nskin 1\r\nelement Mask rounded 5\r\nelement Plain rectangle\r\nelement \"Two words\" rounded 40\n");
    REQUIRE(elements.size() == 3);
    CHECK(elements[0].name == "Mask");
    CHECK(elements[0].radius == 5);
    CHECK(elements[1].name == "Plain");
    CHECK(elements[1].radius == 0);
    CHECK(elements[2].name == "Two words");
    CHECK(elements[2].radius == 40);

    std::string installed = test::ReadFileBytes(test::DistFolder() + "\\Skin\\skin.skn");
    bool hasMask = false;
    for (const SkinFile::Element& element : ParseOk(installed))
        hasMask = hasMask || element.name == "Mask";
    CHECK(hasMask);
}

TEST_CASE("malformed skin files are refused with the line that is wrong")
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "the file is empty"},
        {"# only a comment\n", "the file is empty"},
        {"skin 2\n", "line 1: the file must begin with \"skin 1\""},
        {"element Mask rounded 5\n", "line 1: the file must begin with \"skin 1\""},
        {"skin 1\nelement Mask\n", "line 2: expected \"element NAME rectangle\" or \"element NAME rounded RADIUS\""},
        {"skin 1\nelement Mask rounded\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask rounded 0\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask rounded 41\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask rounded -3\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask oval\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask rectangle 4\n", "line 2: bad shape for \"Mask\""},
        {"skin 1\nelement Mask rectangle\nelement Mask rounded 2\n", "line 3: \"Mask\" given twice"},
        {"skin 1\nmask Mask rectangle\n", "line 2: expected \"element NAME rectangle\" or \"element NAME rounded RADIUS\""},
        {"skin 1\nelement \"Mask rectangle\n", "line 2: a quote is not closed"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.text);
        std::vector<SkinFile::Element> elements = {{"left", 1}};
        std::string error;
        CHECK_FALSE(SkinFile::Parse(c.text, elements, error));
        CHECK(error == c.error);
        CHECK(elements.empty());
    }
    std::string many = "skin 1\n";
    for (int i = 0; i < 17; ++i)
        many += "element e" + std::to_string(i) + " rectangle\n";
    std::vector<SkinFile::Element> elements;
    std::string error;
    CHECK_FALSE(SkinFile::Parse(many, elements, error));
    CHECK(error == "line 18: more than 16 elements");
    CHECK_FALSE(SkinFile::Parse(std::string(5000, '#'), elements, error));
}

TEST_CASE("the skin's element becomes the window's outline: its client area, corners rounded")
{
    test::TempFolder folder("skin");
    test::WriteFileBytes(folder / "skin.skn", "skin 1\nelement Mask rounded 6\nelement Square rectangle\n");
    CSkin skin;
    REQUIRE(skin.Load(folder / "skin.skn"));
    PlainWindow plain;
    REQUIRE(plain.window != nullptr);
    RECT frame, client;
    GetWindowRect(plain.window, &frame);
    GetClientRect(plain.window, &client);
    POINT origin = {0, 0};
    ClientToScreen(plain.window, &origin);
    int left = origin.x - frame.left, top = origin.y - frame.top;

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    CHECK_FALSE(skin.Apply(plain.window, "mask"));  // names are exact
    CHECK(GetWindowRgn(plain.window, region) == ERROR);

    REQUIRE(skin.Apply(plain.window, "Square"));
    CHECK(GetWindowRgn(plain.window, region) == SIMPLEREGION);
    RECT box;
    GetRgnBox(region, &box);
    CHECK(box.left == left);
    CHECK(box.top == top);
    CHECK(box.right == left + client.right);
    CHECK(box.bottom == top + client.bottom);

    REQUIRE(skin.Apply(plain.window, "Mask"));
    CHECK(GetWindowRgn(plain.window, region) == COMPLEXREGION);
    // The caption bar is outside; the corners are cut, the middle of each edge is not.
    CHECK_FALSE(PtInRegion(region, left + client.right / 2, top - 1));
    CHECK_FALSE(PtInRegion(region, left, top));
    CHECK(PtInRegion(region, left + client.right / 2, top));
    CHECK(PtInRegion(region, left, top + client.bottom / 2));
    DeleteObject(region);

    CSkin missing;
    CHECK_FALSE(missing.Load(folder / "none.skn"));
    CHECK_FALSE(missing.Apply(plain.window, "Mask"));
}

TEST_CASE("the splash shows over its owner without taking input or the focus, and goes by itself")
{
    Installation installation;
    installation.CopyMovie("Splash.spl");
    FakeMainWindow owner;
    ShowWindow(owner.Get(), SW_SHOW);
    SetFocus(owner.Get());
    CSplash splash;
    splash.SetFile(installation.Path() + "\\Skin\\Splash.spl");
    REQUIRE(splash.Show(owner.Get(), 200));
    HWND window = splash.Window();
    REQUIRE(window != nullptr);
    CHECK(IsWindowVisible(window));
    CHECK_FALSE(IsWindowEnabled(window));
    CHECK(GetWindow(window, GW_OWNER) == owner.Get());
    CHECK(GetActiveWindow() == owner.Get());
    CHECK(MovieControl(window, "Vantor Shredder", "Static") != nullptr);
    RECT own, over;
    GetWindowRect(window, &own);
    GetWindowRect(owner.Get(), &over);
    CHECK(std::abs((own.left + own.right) - (over.left + over.right)) <= 1);
    CHECK(std::abs((own.top + own.bottom) - (over.top + over.bottom)) <= 1);
    // Its time is all it waits for, in the thread's ordinary message loop.
    for (int tries = 0; tries < 1000 && IsWindow(window); ++tries) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    CHECK_FALSE(IsWindow(window));
    CHECK(splash.Window() == nullptr);
}

TEST_CASE("a splash that cannot be shown is not shown, and nothing waits for it")
{
    test::FreshSettings settings;
    test::TempFolder folder("splash");
    test::WriteFileBytes(folder / "broken.spl", "not a movie\n");
    for (const std::string& path : {folder / "missing.spl", folder / "broken.spl"}) {
        CAPTURE(path);
        CSplash splash;
        splash.SetFile(path);
        CHECK_FALSE(splash.Show(nullptr, 100));
        CHECK(splash.Window() == nullptr);
    }
}
