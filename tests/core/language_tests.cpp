#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

using LanguagePack::LookupText;

TEST_CASE("lookups read the current pack, and fall back when it is missing")
{
    test::TempFolder folder("lang");
    test::WritePack(folder.Path(), "English", "9034=Missing#%s\r\n9606=Vantor Shredder\r\n");
    CHECK(LookupText(folder.Path(), "English", 9034) == "Missing#%s");
    CHECK(LookupText(folder.Path(), "English", 9606) == "Vantor Shredder");
    CHECK(LookupText(folder.Path(), "English", 9999) == "Error");
    CHECK(LookupText(folder.Path(), "Klingon", 9034) == "Error");
    CHECK(LookupText(folder / "nowhere", "English", 9034) == "Error");

    std::string pack = LanguagePack::PackPath(folder.Path(), "English");
    CHECK(LanguagePack::ReadText(pack, 9900, "Shredding.....", LanguagePack::CaptionBufferSize) ==
          "Shredding.....");
}

TEST_CASE("a pack without the section gives the fallback")
{
    test::TempFolder folder("lang");
    CreateDirectoryA((folder / "Lang").c_str(), nullptr);
    test::WriteFileBytes(folder / "Lang\\English.ini", "[Other]\r\n9034=Text\r\n");
    CHECK(LookupText(folder.Path(), "English", 9034) == "Error");
}

TEST_CASE("long texts are cut by reader: 1,999, 499, 199 and 99 characters")
{
    test::TempFolder folder("lang");
    std::string line(10000, 'a');
    test::WritePack(folder.Path(), "English", "9040=" + std::string(2500, 'm') + "\r\n9041=" + line + "\r\n9042=short\r\n");
    std::string pack = LanguagePack::PackPath(folder.Path(), "English");
    CHECK(LookupText(folder.Path(), "English", 9040) == std::string(1999, 'm'));
    CHECK(LookupText(folder.Path(), "English", 9041) == std::string(1999, 'a'));
    CHECK(LookupText(folder.Path(), "English", 9042) == "short");  // the huge line does not spill over
    CHECK(LanguagePack::ReadText(pack, 9041, "", LanguagePack::ItemBufferSize).size() == 499);
    CHECK(LanguagePack::ReadText(pack, 9041, "", LanguagePack::TitleBufferSize).size() == 199);
    CHECK(LanguagePack::ReadText(pack, 9041, "", LanguagePack::CaptionBufferSize).size() == 99);
}

TEST_CASE("a pack path that does not fit a path buffer reads nothing")
{
    std::string deep = "C:\\" + std::string(250, 'd');
    CHECK(LanguagePack::PackPath(deep, "English").empty());
    CHECK(LookupText(deep, "English", 9034) == "Error");
}

TEST_CASE("composition: line breaks first, then the markers as plain text")
{
    using MessageText::Compose;
    std::string path = "C:\\dir\\file.txt";
    unsigned number = 2, total = 3;
    char drive = 'D';
    MessageText::Values all;
    all.s = &path;
    all.u = &number;
    all.t = &total;
    all.c = &drive;

    CHECK(Compose("Cannot open#%s", all) == "Cannot open\nC:\\dir\\file.txt");
    CHECK(Compose("Pass %u of %t on %c:", all) == "Pass 2 of 3 on D:");
    CHECK(Compose("%s and %s", all) == "C:\\dir\\file.txt and C:\\dir\\file.txt");
    CHECK(Compose("a#b#c", MessageText::Values()) == "a\nb\nc");
    CHECK(Compose("100%% %d %x %", all) == "100%% %d %x %");
    CHECK(Compose("%s %u", MessageText::Values()) == "%s %u");  // markers without values stay

    // A value that holds markers or "#" is inserted as it is.
    std::string odd = "C:\\C#\\100%u %t.txt";
    CHECK(MessageText::WithPath("File:#%s", odd) == "File:\nC:\\C#\\100%u %t.txt");
    CHECK(MessageText::WithNumber("Code %u", 3) == "Code 3");
    CHECK(MessageText::Hex8(0x8007000E) == "8007000E");
    CHECK(MessageText::Hex8(5) == "00000005");
}

TEST_CASE("a hostile pack is shown as text, never used as a format")
{
    test::TempFolder folder("lang");
    test::WritePack(folder.Path(), "English", "9050=%s%n%n%s%p%c and %c#%x\r\n");
    std::string text = LookupText(folder.Path(), "English", 9050);
    char drive = 'C';
    MessageText::Values values;
    values.c = &drive;
    CHECK(MessageText::Compose(text, values) == "%s%n%n%s%pC and C\n%x");
}

TEST_CASE("captions of controls come from the pack or their defaults")
{
    test::FreshSettings settings;
    test::TempFolder folder("lang");
    test::WritePack(folder.Path(), "English", "9701=Nie\r\n");
    // A dialog-less control stands in: SetItemText only needs a window with a child of that id.
    HWND parent = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    REQUIRE(parent != nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(1002),
                                 nullptr, nullptr);
    REQUIRE(child != nullptr);
    char text[64];

    LanguagePack::SetItemText("English", 9701, 1002, "Never", parent);  // no AppPath yet: default
    GetWindowTextA(child, text, sizeof(text));
    CHECK(std::string(text) == "Never");

    Settings::WriteString("AppPath", folder.Path());
    LanguagePack::SetItemText("English", 9701, 1002, "Never", parent);
    GetWindowTextA(child, text, sizeof(text));
    CHECK(std::string(text) == "Nie");
    DestroyWindow(parent);
}
