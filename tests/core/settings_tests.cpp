#include "common/Settings.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

TEST_CASE("defaults on a fresh account, and the key is created by the first read")
{
    test::FreshSettings settings;
    CHECK_FALSE(test::SettingsKeyExists());
    CHECK(Settings::ReadNumber("Method", 0) == 0);
    CHECK(test::SettingsKeyExists());
    CHECK(Settings::ReadNumber("PassCount", 3) == 3);
    CHECK(Settings::ReadString("Language", "English") == "English");
    CHECK(Settings::ReadString("AppPath", "Empty") == "Empty");
    CHECK_FALSE(test::ValueExists("Method"));
}

TEST_CASE("numbers and strings are read as stored")
{
    test::FreshSettings settings;
    Settings::WriteNumber("PassCount", 11);
    Settings::WriteNumber("Folder", -1);
    Settings::WriteString("Language", "Deutsch");
    CHECK(Settings::ReadNumber("PassCount", 3) == 11);
    CHECK(Settings::ReadNumber("Folder", 0) == -1);
    CHECK(Settings::ReadString("Language", "English") == "Deutsch");
    Settings::WriteString("Language", "");
    CHECK(Settings::ReadString("Language", "English") == "");
}

TEST_CASE("a value of the wrong type reads as the default")
{
    test::FreshSettings settings;
    const char text[] = "7";
    test::StoreRawValue("PassCount", REG_SZ, text, sizeof(text));
    CHECK(Settings::ReadNumber("PassCount", 3) == 3);

    DWORD number = 5;
    test::StoreRawValue("Language", REG_DWORD, &number, sizeof(number));
    CHECK(Settings::ReadString("Language", "English") == "English");

    unsigned char shortBinary[2] = {1, 2};
    test::StoreRawValue("Method", REG_BINARY, shortBinary, sizeof(shortBinary));
    CHECK(Settings::ReadNumber("Method", 0) == 0);
}

TEST_CASE("an installation folder that is no usable folder gives the program's own folder")
{
    test::FreshSettings settings;
    test::TempFolder folder("apppath");
    const std::string own = Settings::ModuleFolder();
    REQUIRE_FALSE(own.empty());
    CHECK(test::FileExists(own + "\\core_tests.exe"));  // the folder of this program

    Settings::WriteString("AppPath", folder.Path());
    CHECK(Settings::ReadAppPath("") == folder.Path());

    test::WriteFileBytes(folder / "file.txt", "not a folder");
    const DWORD number = 1;
    struct Case {
        const char* name;
        std::string stored;  // empty with `type` 0: no value at all
        DWORD type;
    } cases[] = {
        {"missing", "", 0},
        {"empty", "", REG_SZ},
        {"a number", "", REG_DWORD},
        {"no such folder", folder / "gone", REG_SZ},
        {"a file", folder / "file.txt", REG_SZ},
        {"relative", "Lang", REG_SZ},
        {"relative to the drive's root", "\\Windows", REG_SZ},
        {"longer than a path buffer", "C:\\" + std::string(400, 'x'), REG_SZ},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.name));
        test::DeleteSettingsKey();
        if (c.type == REG_DWORD)
            test::StoreRawValue("AppPath", REG_DWORD, &number, sizeof(number));
        else if (c.type == REG_SZ)
            Settings::WriteString("AppPath", c.stored);
        CHECK(Settings::ReadAppPath("") == own);
        CHECK(Settings::ReadAppPath("Empty") == own);
    }
}

TEST_CASE("a string stored without its terminator reads whole")
{
    test::FreshSettings settings;
    test::StoreRawValue("Language", REG_SZ, "Dansk", 5);
    CHECK(Settings::ReadString("Language", "English") == "Dansk");
}
