#include "tests/ui/DialogScript.h"
#include "ui/SubfolderOptionsDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

using namespace uitest;

TEST_CASE("the policy text forms convert by their leading digits")
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"12", 12}, {"2x", 2}, {"", 0}, {"x2", 0}, {" 1", 0}, {"-1", 0}};
    for (const Case& c : cases) {
        INFO("c.text: " << std::string(c.text));
        CHECK(CSubfolderOptionsDlg::PolicyFromText(c.text) == c.value);
    }
    // Digits beyond any int do not wrap round to a small or negative policy.
    CHECK(CSubfolderOptionsDlg::PolicyFromText("99999999999999999999") > 2);
}

TEST_CASE("the subfolder options hand the policies to the movie and read them back on its OK")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    CSubfolderOptionsDlg dialog;
    dialog.m_contentsPolicy = 2;
    dialog.m_removalPolicy = 0;
    MovieCallRecorder recorder;
    std::vector<int> checked;
    ScriptResult result = RunScripted(dialog, {[&](HWND window) {
        for (const char* text : {"Never", "Prompt", "Always"}) {
            // Both groups carry the same texts: the first match is the contents group.
            HWND radio = MovieControl(window, text);
            checked.push_back(static_cast<int>(SendMessageA(radio, BM_GETCHECK, 0, 0)));
        }
        Click(MovieControl(window, "Prompt"));
        Click(MovieControl(window, "OK"));
    }});
    CHECK_FALSE(result.hung);
    CHECK(result.ending == IDOK);
    REQUIRE(checked.size() == 3);
    CHECK(checked[0] == BST_UNCHECKED);
    CHECK(checked[1] == BST_UNCHECKED);
    CHECK(checked[2] == BST_CHECKED);
    CHECK(dialog.m_contentsText == "1");
    CHECK(dialog.m_removalText == "0");
    std::vector<std::string> expected = {
        "Movie:" + installation.Path() + "\\Skin\\subfolder_options.swf",
        "Scale:NoScale",
        "AlignMode:1",
        "BackgroundColor:15330028",
        "SetVariable:_root.shredContent=2",
        "SetVariable:_root.removeSubfoler=0",
        "GetVariable:_root.shredContent",
        "GetVariable:_root.removeSubfoler",
    };
    CHECK(recorder.calls == expected);
}

TEST_CASE("the subfolder options' other endings")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    struct Case {
        const char* name;
        Step step;
        INT_PTR ending;
        const char* contents;  // the text forms afterwards
    } cases[] = {
        // The window's own OK keeps the starting values, whatever the movie shows.
        {"window OK", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(w, WM_COMMAND, IDOK, 0); }, IDOK, "2"},
        {"movie Cancel", [](HWND w) { Click(MovieControl(w, "Never")); Click(MovieControl(w, "Cancel")); }, IDCANCEL, "2"},
        {"Escape", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); (void)w; }, IDCANCEL, "2"},
        // Enter presses the movie's OK, which reads the movie.
        {"Enter", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, IDOK, "0"},
    };
    for (const Case& c : cases) {
        INFO("c.name: " << std::string(c.name));
        CSubfolderOptionsDlg dialog;
        dialog.m_contentsPolicy = 2;
        dialog.m_removalPolicy = 1;
        ScriptResult result = RunScripted(dialog, {c.step});
        CHECK_FALSE(result.hung);
        CHECK(result.ending == c.ending);
        CHECK(dialog.m_contentsText == c.contents);
        CHECK(dialog.m_removalText == "1");
    }
}

TEST_CASE("movie commands of the subfolder options ignore letter case")
{
    Installation installation;
    installation.WriteMovie("subfolder_options.swf",
                            "movie 1 153 180\n"
                            "edit 0 0 50 12 var=_root.shredContent\n"
                            "button 0 20 30 10 command=id_fs_ok text=ok\n"
                            "button 40 20 30 10 command=ID_FS_CANCEL text=cancel\n"
                            "button 80 20 30 10 command=ID_FS_yes text=yes\n");
    struct Case {
        const char* button;
        INT_PTR ending;
        const char* contents;
    } cases[] = {{"ok", IDOK, "7"}, {"cancel", IDCANCEL, "1"}};
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        CSubfolderOptionsDlg dialog;
        dialog.m_contentsPolicy = 1;
        bool openAfterYes = false;
        ScriptResult result = RunScripted(dialog, {[&](HWND w) {
            SetWindowTextA(MovieControl(w, "1", "Edit"), "7");
            Click(MovieControl(w, "yes"));  // not a command of this dialog
            openAfterYes = IsWindowVisible(w) != FALSE;
            Click(MovieControl(w, c.button));
        }});
        CHECK_FALSE(result.hung);
        CHECK(openAfterYes);
        CHECK(result.ending == c.ending);
        CHECK(dialog.m_contentsText == c.contents);
    }
}

TEST_CASE("without its movie the subfolder options show their own radio buttons, which OK reads")
{
    Installation installation;
    installation.CopyEnglishPack();
    installation.WriteMovie("subfolder_options.swf", "movie 1 153 180\nradio 0 0 10 10 var=_root.x text=a\n");
    CSubfolderOptionsDlg dialog;
    dialog.m_contentsPolicy = 0;
    dialog.m_removalPolicy = 2;
    std::vector<UINT> checked;
    std::vector<std::string> texts;
    bool hostVisible = true;
    bool helpKeptOpen = false;
    ScriptResult result = RunScripted(dialog, {
        [&](HWND w) {
            hostVisible = Visible(w, 1060);
            for (int id : {IDC_CONTENTS_NEVER, IDC_CONTENTS_PROMPT, IDC_CONTENTS_ALWAYS, IDC_REMOVE_NEVER,
                           IDC_REMOVE_PROMPT, IDC_REMOVE_ALWAYS})
                checked.push_back(IsDlgButtonChecked(w, id));
            for (int id : {IDC_CONTENTS_GROUP, IDC_REMOVE_GROUP, IDOK, IDC_HELP_BUTTON, IDCANCEL})
                texts.push_back(Visible(w, id) ? Text(GetDlgItem(w, id)) : "(hidden)");
            Click(GetDlgItem(w, IDC_CONTENTS_ALWAYS));
            Click(GetDlgItem(w, IDC_REMOVE_PROMPT));
            Click(GetDlgItem(w, IDC_HELP_BUTTON));  // the page is missing here: nothing happens
        },
        [&](HWND w) {
            helpKeptOpen = true;
            Click(GetDlgItem(w, IDOK));
        },
    });
    CHECK_FALSE(result.hung);
    CHECK_FALSE(hostVisible);
    CHECK(checked == std::vector<UINT>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED,
                                       BST_CHECKED});
    CHECK(texts == std::vector<std::string>{"&Shred contents of subfolders", "&Remove subfolders after shredding",
                                            "OK", "Help", "Cancel"});
    CHECK(helpKeptOpen);
    CHECK(result.ending == IDOK);
    CHECK(dialog.m_contentsText == "2");
    CHECK(dialog.m_removalText == "1");
}
