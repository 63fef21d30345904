// The command's logic without COM: the parameter text, what is left out and told, the menu text
// from the language pack, and the module settings.
#include "WideChecks.h"
#include "ModuleSettings.h"
#include "ShredMenu.h"
#include "lang/LanguagePack.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

using shelltest::Utf8;
using shelltest::Wide;
using shelvane::Handover;
using shelvane::ModuleSettings;
using shelvane::ShredMenu;

namespace {

// Records what the command tells and starts, in order.
struct RecordedActions : shelvane::MenuActions {
    std::vector<std::wstring> events;
    std::vector<std::wstring> told;
    std::wstring title, program, parameters, folder;
    bool startSucceeds = true;

    void Tell(const std::wstring& text, const std::wstring& boxTitle) override
    {
        events.push_back(L"tell");
        told.push_back(text);
        title = boxTitle;
    }
    bool Start(const std::wstring& startProgram, const std::wstring& startParameters,
               const std::wstring& startFolder) override
    {
        events.push_back(L"start");
        program = startProgram;
        parameters = startParameters;
        folder = startFolder;
        return startSucceeds;
    }
};

std::wstring PathOfLength(size_t length)
{
    std::wstring path = L"C:\\";
    path.append(length - path.size(), L'p');
    return path;
}

// A pack whose texts are stored in UTF-16 after a byte-order mark.
void WriteUtf16Pack(const std::string& appPath, const std::string& language, const std::wstring& body)
{
    CreateDirectoryA((appPath + "\\Lang").c_str(), nullptr);
    std::wstring text = L"[Quorlen Language Pack]\r\n" + body;
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    test::WriteFileBytes(appPath + "\\Lang\\" + language + ".ini", bytes);
}

ModuleSettings Installed(const std::string& appPath, const wchar_t* language = L"English")
{
    return {Wide(appPath), language};
}

}  // namespace

TEST_CASE("the parameter text puts every path in quotation marks and ends with a blank and a lone quotation mark")
{
    CHECK(shelvane::ParameterText({L"C:\\a.txt"}) == L"\"C:\\a.txt\" \"");
    CHECK(shelvane::ParameterText({L"C:\\a.txt"}).size() == 12);
    CHECK(shelvane::ParameterText({L"C:\\a.txt", L"D:\\b c.doc", L"E:\\dir"}) ==
          L"\"C:\\a.txt\" \"D:\\b c.doc\" \"E:\\dir\" \"");
    // A folder and a drive root go over like files: the program tells them apart.
    CHECK(shelvane::ParameterText({L"C:\\Data\\Folder", L"C:\\"}) == L"\"C:\\Data\\Folder\" \"C:\\\" \"");
}

TEST_CASE("the command starts Nullwright.exe of the installation folder by its full path, in that folder")
{
    ShredMenu menu({L"C:\\Program Files\\Vantor Shredder", L"English"});
    menu.SetSelection({L"C:\\a.txt", L"D:\\b c.doc"});
    RecordedActions actions;
    CHECK(menu.Run(actions) == Handover::Started);
    CHECK(actions.events == std::vector<std::wstring>{L"start"});
    CHECK(actions.program == L"C:\\Program Files\\Vantor Shredder\\Nullwright.exe");
    CHECK(actions.folder == L"C:\\Program Files\\Vantor Shredder");
    CHECK(actions.parameters == L"\"C:\\a.txt\" \"D:\\b c.doc\" \"");

    actions.startSucceeds = false;
    CHECK(menu.Run(actions) == Handover::NotStarted);
}

TEST_CASE("nothing is started without a selection or without an installation folder")
{
    RecordedActions actions;
    ShredMenu installed({L"C:\\Vantor", L"English"});
    CHECK(installed.Run(actions) == Handover::NothingSelected);

    // Only a search could find a program without the folder, and it might find another one.
    ShredMenu homeless({L"", L""});
    homeless.SetSelection({L"C:\\a.txt"});
    CHECK(homeless.Run(actions) == Handover::NoInstallation);
    CHECK(actions.events.empty());
}

TEST_CASE("a path too long for a path buffer is left out, and the user is told which before anything starts")
{
    test::TempFolder install("shelvane");
    test::WritePack(install.Path(), "English", "9606=Vantor Shredder\r\n9090=Left out:#%s\r\n");
    ShredMenu menu(Installed(install.Path()));
    std::wstring fits = PathOfLength(259), longer = PathOfLength(260), longest = PathOfLength(261);
    menu.SetSelection({fits, longer, L"C:\\a.txt", longest});
    RecordedActions actions;
    CHECK(menu.Run(actions) == Handover::Started);
    CHECK(actions.events == std::vector<std::wstring>{L"tell", L"start"});
    REQUIRE(actions.told.size() == 1);
    CHECK(actions.told[0] == L"Left out:\n" + longer + L"\n" + longest);
    CHECK(actions.title == L"Vantor Shredder");
    CHECK(actions.parameters == L"\"" + fits + L"\" \"C:\\a.txt\" \"");

    SUBCASE("a selection of such paths alone starts nothing")
    {
        RecordedActions alone;
        menu.SetSelection({longest});
        CHECK(menu.Run(alone) == Handover::NothingSelected);
        CHECK(alone.events == std::vector<std::wstring>{L"tell"});
    }
}

TEST_CASE("a selection longer than one command line starts nothing and tells how many items fit")
{
    test::TempFolder install("shelvane");
    test::WritePack(install.Path(), "English", "9606=Vantor Shredder\r\n9091=%u of %t fit\r\n");
    ShredMenu menu(Installed(install.Path()));
    // The line the system gets: the quoted program, a blank and the parameters, at most 32,766
    // characters before its terminator.
    std::wstring quotedProgram = L"\"" + menu.ProgramPath() + L"\" ";
    std::vector<std::wstring> items(129, PathOfLength(250));
    size_t used = quotedProgram.size() + shelvane::ParameterText(items).size();
    REQUIRE(used < 32766);
    // One more item of exactly the room that is left fills the line to its last character.
    items.push_back(PathOfLength(32766 - used - 3));
    REQUIRE(items.back().size() < 260);

    RecordedActions actions;
    menu.SetSelection(items);
    CHECK(menu.Run(actions) == Handover::Started);
    CHECK(quotedProgram.size() + actions.parameters.size() == 32766);

    items.back() += L'x';
    menu.SetSelection(items);
    RecordedActions tooMany;
    CHECK(menu.Run(tooMany) == Handover::TooLarge);
    CHECK(tooMany.events == std::vector<std::wstring>{L"tell"});
    REQUIRE(tooMany.told.size() == 1);
    CHECK(tooMany.told[0] == L"129 of 130 fit");
    CHECK(tooMany.title == L"Vantor Shredder");
}

TEST_CASE("a pack without the command's messages gives the English ones")
{
    test::TempFolder install("shelvane");
    test::WritePack(install.Path(), "Bare", "9606=Vantor Shredder\r\n");
    REQUIRE(CopyFileA((test::DistFolder() + "\\Lang\\English.ini").c_str(),
                      (install.Path() + "\\Lang\\English.ini").c_str(), FALSE));
    std::vector<std::wstring> selection(200, PathOfLength(250));
    selection.push_back(PathOfLength(300));

    RecordedActions english, builtIn;
    ShredMenu fromPack(Installed(install.Path(), L"English"));
    fromPack.SetSelection(selection);
    ShredMenu fromDefaults(Installed(install.Path(), L"Bare"));
    fromDefaults.SetSelection(selection);
    CHECK(fromPack.Run(english) == Handover::TooLarge);
    CHECK(fromDefaults.Run(builtIn) == Handover::TooLarge);
    REQUIRE(english.told.size() == 2);
    CHECK(builtIn.told == english.told);
    // The English pack holds both texts with the markers they need.
    std::wstring pack = Wide(install.Path() + "\\Lang\\English.ini");
    std::wstring pathsLeftOut = LanguagePack::ReadText(pack, 9090, L"", LanguagePack::MessageBufferSize);
    std::wstring tooLarge = LanguagePack::ReadText(pack, 9091, L"", LanguagePack::MessageBufferSize);
    CHECK(pathsLeftOut.find(L"%s") != std::wstring::npos);
    CHECK(tooLarge.find(L"%u") != std::wstring::npos);
    CHECK(tooLarge.find(L"%t") != std::wstring::npos);
    // The English texts name what they report.
    CHECK(english.told[0].find(L"\n" + PathOfLength(300)) != std::wstring::npos);
    CHECK(english.told[1].find(L" 200 ") != std::wstring::npos);
}

TEST_CASE("the menu text is key 9606 of the user's pack, read as the pack holds it")
{
    test::TempFolder install("shelvane");
    SUBCASE("no pack at all")
    {
        CHECK(ShredMenu(Installed(install.Path())).MenuText() == L"Vave Deveziza");
    }
    SUBCASE("a pack without the key")
    {
        test::WritePack(install.Path(), "English", "9000=other\r\n");
        CHECK(ShredMenu(Installed(install.Path())).MenuText() == L"Vave Deveziza");
    }
    SUBCASE("a pack in the system code page")
    {
        test::WritePack(install.Path(), "English", "9606=Shred it\r\n");
        CHECK(ShredMenu(Installed(install.Path())).MenuText() == L"Shred it");
    }
    SUBCASE("a pack in UTF-16 with characters of no single-byte code page")
    {
        WriteUtf16Pack(install.Path(), "Polski", L"9606=Zniszcz \u2013 \u0141\u00F3d\u017A \u540D\r\n");
        CHECK(ShredMenu(Installed(install.Path(), L"Polski")).MenuText() == L"Zniszcz \u2013 \u0141\u00F3d\u017A \u540D");
    }
    SUBCASE("the pack of the language in the settings")
    {
        test::WritePack(install.Path(), "English", "9606=English text\r\n");
        test::WritePack(install.Path(), "German", "9606=Vernichten\r\n");
        CHECK(ShredMenu(Installed(install.Path(), L"German")).MenuText() == L"Vernichten");
    }
    SUBCASE("a text longer than the reader's buffer is cut to 199 characters")
    {
        test::WritePack(install.Path(), "English", "9606=" + std::string(250, 'm') + "\r\n");
        CHECK(ShredMenu(Installed(install.Path())).MenuText() == std::wstring(199, L'm'));
    }
}

TEST_CASE("the module settings: installation folder and language name from the settings key")
{
    test::FreshSettings fresh;
    SUBCASE("without the key both are empty")
    {
        ModuleSettings settings = shelvane::ReadModuleSettings();
        CHECK(settings.appPath.empty());
        CHECK(settings.language.empty());
    }
    SUBCASE("a folder of any name arrives exactly, and \".ini\" leaves the language name")
    {
        shelltest::SetSetting(L"AppPath", L"C:\\\u0141\u00F3d\u017A\\Vantor \u540D");
        shelltest::SetSetting(L"Language", L"Deutsch.ini");
        ModuleSettings settings = shelvane::ReadModuleSettings();
        CHECK(settings.appPath == L"C:\\\u0141\u00F3d\u017A\\Vantor \u540D");
        CHECK(settings.language == L"Deutsch");
    }
    SUBCASE("a missing or empty language is English")
    {
        shelltest::SetSetting(L"AppPath", L"C:\\Vantor");
        CHECK(shelvane::ReadModuleSettings().language == L"English");
        shelltest::SetSetting(L"Language", L"");
        CHECK(shelvane::ReadModuleSettings().language == L"English");
    }
    SUBCASE("a folder too long for a path buffer is not taken, cut or whole")
    {
        shelltest::SetSetting(L"AppPath", PathOfLength(259));
        CHECK(shelvane::ReadModuleSettings().appPath == PathOfLength(259));
        shelltest::SetSetting(L"AppPath", PathOfLength(300));
        CHECK(shelvane::ReadModuleSettings().appPath.empty());
    }
    CHECK(shelvane::LanguageName(L"a.ini.ini") == L"a.ini");
    CHECK(shelvane::LanguageName(L".ini") == L"English");
}

TEST_CASE("the dropped paths are read whole, in wide characters")
{
    std::wstring longPath = PathOfLength(300);
    std::wstring foreign = L"C:\\\u0141\u00F3d\u017A \uFF0E\u540D.txt";
    HGLOBAL block = shelltest::MakeDropBlock({L"C:\\a.txt", longPath, foreign});
    REQUIRE(block);
    CHECK(shelvane::ReadDroppedPaths(static_cast<HDROP>(block)) ==
          std::vector<std::wstring>{L"C:\\a.txt", longPath, foreign});
    GlobalFree(block);

    // A drop block in the code page gives the same names where the code page holds them.
    block = shelltest::MakeDropBlock({L"C:\\a.txt", L"D:\\b c"}, false);
    REQUIRE(block);
    CHECK(shelvane::ReadDroppedPaths(static_cast<HDROP>(block)) == std::vector<std::wstring>{L"C:\\a.txt", L"D:\\b c"});
    GlobalFree(block);
}
