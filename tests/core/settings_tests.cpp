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

TEST_CASE("an installation folder that does not fit a path buffer is refused, not cut")
{
    test::FreshSettings settings;
    std::string longPath = "C:\\" + std::string(400, 'x');
    Settings::WriteString("AppPath", longPath);
    CHECK(Settings::ReadString("AppPath", "") == longPath);
    CHECK(Settings::ReadAppPath("") == "");
    CHECK(Settings::ReadAppPath("Empty") == "Empty");

    std::string fits = "C:\\" + std::string(MAX_PATH - 4, 'y');
    Settings::WriteString("AppPath", fits);
    CHECK(Settings::ReadAppPath("") == fits);
}

TEST_CASE("a string stored without its terminator reads whole")
{
    test::FreshSettings settings;
    test::StoreRawValue("Language", REG_SZ, "Dansk", 5);
    CHECK(Settings::ReadString("Language", "English") == "Dansk");
}
