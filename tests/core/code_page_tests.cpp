// The program's names and texts in both code pages it can meet: this file is built twice, once
// without the program's manifest (Wine's legacy code page, 1252) and once with it (UTF-8, as
// Nullwright.exe runs). Names of files in any script, the language packs, the log and the texts
// the movie player shows must come out the same in both, or, where the legacy code page cannot
// hold a name, be reached by its short name and never by a look-alike.
#include "common/CodePage.h"
#include "common/ScopedWin.h"
#include "common/Settings.h"
#include "engine/FolderShredder.h"
#include "engine/Reporting.h"
#include "lang/LanguagePack.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "ui/WarningDlg.h"

#include <doctest/doctest.h>

#include <commctrl.h>

#ifndef EXPECTED_CODE_PAGE
#error "EXPECTED_CODE_PAGE: 1252 without the manifest, 65001 with it"
#endif

namespace {

const bool Utf8 = EXPECTED_CODE_PAGE == 65001;

// Files and folders made with the wide functions, as another program or the shell makes them.
void MakeFileW(const std::wstring& path, const std::string& bytes)
{
    AutoHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    REQUIRE(file);
    DWORD written = 0;
    REQUIRE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string ReadFileW(const std::wstring& path)
{
    AutoHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    char buffer[256];
    DWORD read = 0;
    ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr);
    return std::string(buffer, read);
}

bool ExistsW(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// The text of the movie's message control, as the window holds it.
std::wstring MovieMessage(HWND dialog)
{
    HWND host = GetDlgItem(dialog, 1060);
    for (HWND child = GetWindow(host, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof(name));
        if (lstrcmpiA(name, "Edit") != 0)
            continue;
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        return text;
    }
    return L"<no message control>";
}

// A silent run of the engine with its log in a temporary folder.
struct SilentRun {
    test::FreshSettings settings;
    test::TempFolder folder{"codepage"};
    test::ScriptedChannel channel;
    ShredContext context;
    SilentRun()
    {
        test::PrepareShredder(context, channel, folder.Path());
        context.silent = true;
    }
    std::string Log() const { return test::ReadFileBytes(folder / "log.txt"); }
};

}  // namespace

TEST_CASE("the code page is the one the program is built for")
{
    CHECK(GetACP() == EXPECTED_CODE_PAGE);
}

TEST_CASE("names convert exactly or with '?', never to a look-alike")
{
    struct Case {
        const wchar_t* wide;
        bool exactInLegacy;
        const char* legacy;  // in code page 1252
        const char* utf8;
    } cases[] = {
        {L"\uFF0E\uFF0E\uFF3Cvictim.txt", false, "???victim.txt", "\xEF\xBC\x8E\xEF\xBC\x8E\xEF\xBC\xBCvictim.txt"},
        {L"\u0141\u00F3d\u017A\u03A9.txt", false, "?\xF3" "d??.txt", "\xC5\x81\xC3\xB3" "d\xC5\xBA\xCE\xA9.txt"},
        {L"\u65E5\u672C\u8A9E.txt", false, "???.txt", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"},
        {L"L\u00F3dzO.txt", true, "L\xF3" "dzO.txt", "L\xC3\xB3" "dzO.txt"},
        {L"Gr\u00F6\u00DFe \u201E\u2026\u201C", true, "Gr\xF6\xDF" "e \x84\x85\x93", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x80\x9E\xE2\x80\xA6\xE2\x80\x9C"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.legacy);
        std::string narrow;
        const bool exact = CodePage::Narrow(c.wide, narrow);
        CHECK(exact == (Utf8 || c.exactInLegacy));
        CHECK(narrow == (Utf8 ? c.utf8 : c.legacy));
        if (exact)
            CHECK(CodePage::Widen(narrow) == c.wide);
    }
    // An unpaired surrogate converts in no code page.
    std::string narrow;
    CHECK_FALSE(CodePage::Narrow(std::wstring(L"a\xD800" L"b"), narrow));
}

TEST_CASE("a folder walk on disk with names outside the code page stays inside the selection")
{
    SilentRun run;
    run.context.job.folderPolicy = 2;
    run.context.job.removePolicy = 2;

    const std::wstring base = Wide(run.folder.Path());
    const std::wstring selection = base + L"\\w\\sel";
    REQUIRE(CreateDirectoryW((base + L"\\w").c_str(), nullptr));
    REQUIRE(CreateDirectoryW(selection.c_str(), nullptr));
    REQUIRE(CreateDirectoryW((selection + L"\\\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E").c_str(), nullptr));
    MakeFileW(base + L"\\outside.txt", "outside the job");
    MakeFileW(base + L"\\w\\victim.txt", "beside the selection");
    MakeFileW(selection + L"\\\uFF0E\uFF0E\uFF3Cvictim.txt", "look-alike of ..\\victim.txt");
    MakeFileW(selection + L"\\\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E\\inner.txt", "below a look-alike of ..\\..");
    MakeFileW(selection + L"\\\u0141\u00F3d\u017A\u03A9.txt", "polish");
    MakeFileW(selection + L"\\L\u00F3dzO.txt", "its look-alike in the legacy code page");
    MakeFileW(selection + L"\\\u65E5\u672C\u8A9E.txt", "japanese");

    std::string path;
    REQUIRE(CodePage::Narrow(selection, path));
    CHECK(ShredFolder(run.context, path, false, WalkMode::User) == FolderResult::Done);
    RemoveFolderIfEmpty(run.context, path);

    CHECK(ReadFileW(base + L"\\outside.txt") == "outside the job");
    CHECK(ReadFileW(base + L"\\w\\victim.txt") == "beside the selection");
    CHECK_FALSE(ExistsW(selection));
    CHECK(run.channel.questions.empty());
    CHECK(run.Log().empty());
}

TEST_CASE("the German pack reads the same text in every code page")
{
    const std::string dist = test::DistFolder();
    // "Freien Speicherplatz überschreiben" in this code page.
    const std::string expected = Utf8 ? "Freien Speicherplatz \xC3\xBC" "berschreiben" : "Freien Speicherplatz \xFC" "berschreiben";
    CHECK(LanguagePack::LookupText(dist, "Deutsch", 9063) == expected);
    CHECK(LanguagePack::ReadText(LanguagePack::PackPath(Wide(dist), L"Deutsch"), 9063, L"default", 100) ==
          L"Freien Speicherplatz \u00FCberschreiben");
    // Texts that the legacy code page holds come through whole in both.
    std::wstring typographic = LanguagePack::ReadText(LanguagePack::PackPath(Wide(dist), L"Deutsch"), 9900, L"", 100);
    std::string narrow;
    CHECK(CodePage::Narrow(typographic, narrow));
    CHECK(LanguagePack::LookupText(dist, "Deutsch", 9900) == narrow);
    CHECK(typographic == L"Wird vernichtet \u2026");
}

TEST_CASE("the log holds the names in the program's code page")
{
    SilentRun run;
    std::string name;
    CodePage::Narrow(std::wstring(L"C:\\Gr\u00F6\u00DFe\\\u0141\u00F3d\u017A.txt"), name);
    LogMessage(run.context, "missing:\n" + name);
    CHECK(run.Log() == (Utf8 ? "missing:\r\nC:\\Gr\xC3\xB6\xC3\x9F" "e\\\xC5\x81\xC3\xB3" "d\xC5\xBA.txt\r\n\r\n"
                         : "missing:\r\nC:\\Gr\xF6\xDF" "e\\?\xF3" "d?.txt\r\n\r\n"));
}

TEST_CASE("the movie player shows a message exactly")
{
    uitest::Installation installation;
    installation.CopyAllMovies();
    const std::wstring wide = Utf8 ? L"Gr\u00F6\u00DFe \u65E5\u672C\u8A9E \u0141\u00F3d\u017A" : L"Gr\u00F6\u00DFe \u201E\u2026\u201C";
    std::string message;
    REQUIRE(CodePage::Narrow(wide, message));
    std::wstring shown;
    uitest::RunScripted(
        [&] { return static_cast<INT_PTR>(ShowWarning(nullptr, WarningStyle::Notice, message, "Title", DialogSize::Normal)); },
        {[&](HWND window) {
            shown = MovieMessage(window);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }});
    CHECK(shown == wide);
}

TEST_CASE("the common controls are those of the manifest")
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    char path[MAX_PATH] = {};
    REQUIRE(GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH) > 0);
    CAPTURE(path);
    // Version 6 lives side by side, in the system's WinSxS folder; without a manifest version 5
    // is loaded from the system folder.
    const bool sideBySide = std::string(path).find("common-controls_6595b64144ccf1df_6.") != std::string::npos;
    CHECK(sideBySide == Utf8);
}
