#include "tests/ui/DialogScript.h"
#include "ui/SubfolderOptionsDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

using namespace uitest;

namespace {

struct Edited {
    ScriptResult script;
    bool ok;
    SubfolderPolicies policies;
};

// Runs the subfolder options on `start` while `steps` play against the dialog.
Edited Edit(SubfolderPolicies start, std::vector<Step> steps)
{
    Edited edited{{}, false, start};
    edited.script = RunScripted(
        [&] {
            edited.ok = EditSubfolderPolicies(nullptr, edited.policies);
            return static_cast<INT_PTR>(edited.ok ? IDOK : IDCANCEL);
        },
        std::move(steps));
    return edited;
}

}  // namespace

TEST_CASE("the policy text forms convert by their leading digits")
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"12", 12}, {"2x", 2}, {"", 0}, {"x2", 0}, {" 1", 0}, {"-1", 0}};
    for (const Case& c : cases) {
        INFO("c.text: " << std::string(c.text));
        CHECK(PolicyFromText(c.text) == c.value);
    }
    // Digits beyond any int do not wrap round to a small or negative policy.
    CHECK(PolicyFromText("99999999999999999999") > 2);
}

TEST_CASE("the subfolder options hand the policies to the movie and read them back on its OK")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    std::vector<int> contents, removal;
    Edited edited = Edit({2, 0}, {[&](HWND window) {
        // Both groups carry the same texts, contents first; the movie shows what it was given.
        for (const char* text : {"Never", "Prompt", "Always"}) {
            std::vector<HWND> radios = MovieControls(window, text);
            REQUIRE(radios.size() == 2);
            contents.push_back(static_cast<int>(SendMessageA(radios[0], BM_GETCHECK, 0, 0)));
            removal.push_back(static_cast<int>(SendMessageA(radios[1], BM_GETCHECK, 0, 0)));
        }
        Click(MovieControl(window, "Prompt"));
        Click(MovieControl(window, "OK"));
    }});
    CHECK_FALSE(edited.script.hung);
    CHECK(edited.ok);
    CHECK(contents == std::vector<int>{BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED});
    CHECK(removal == std::vector<int>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED});
    CHECK(edited.policies.contents == 1);
    CHECK(edited.policies.removal == 0);
}

TEST_CASE("the subfolder options' other endings")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    struct Case {
        const char* name;
        Step step;
        bool ok;
        int contents;  // the policy afterwards
    } cases[] = {
        // The window's own OK keeps the starting values, whatever the movie shows.
        {"window OK", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(w, WM_COMMAND, IDOK, 0); }, true, 2},
        {"movie Cancel", [](HWND w) { Click(MovieControl(w, "Never")); Click(MovieControl(w, "Cancel")); }, false, 2},
        {"Escape", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); (void)w; }, false, 2},
        // Enter presses the movie's OK, which reads the movie.
        {"Enter", [](HWND w) { Click(MovieControl(w, "Never")); PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, true, 0},
    };
    for (const Case& c : cases) {
        INFO("c.name: " << std::string(c.name));
        Edited edited = Edit({2, 1}, {c.step});
        CHECK_FALSE(edited.script.hung);
        CHECK(edited.ok == c.ok);
        CHECK(edited.policies.contents == c.contents);
        CHECK(edited.policies.removal == 1);
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
        bool ok;
        int contents;
    } cases[] = {{"ok", true, 7}, {"cancel", false, 1}};
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        bool openAfterYes = false;
        Edited edited = Edit({1, 0}, {[&](HWND w) {
            SetWindowTextA(MovieControl(w, "1", "Edit"), "7");
            Click(MovieControl(w, "yes"));  // not a command of this dialog
            openAfterYes = IsWindowVisible(w) != FALSE;
            Click(MovieControl(w, c.button));
        }});
        CHECK_FALSE(edited.script.hung);
        CHECK(openAfterYes);
        CHECK(edited.ok == c.ok);
        CHECK(edited.policies.contents == c.contents);
    }
}

TEST_CASE("without its movie the subfolder options show their own radio buttons, which OK reads")
{
    Installation installation;
    installation.CopyEnglishPack();
    installation.WriteMovie("subfolder_options.swf", "movie 1 153 180\nradio 0 0 10 10 var=_root.x text=a\n");
    std::vector<UINT> checked;
    std::vector<std::string> texts;
    bool hostVisible = true;
    bool helpKeptOpen = false;
    Edited edited = Edit({0, 2}, {
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
    CHECK_FALSE(edited.script.hung);
    CHECK_FALSE(hostVisible);
    CHECK(checked == std::vector<UINT>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED,
                                       BST_CHECKED});
    CHECK(texts == std::vector<std::string>{"&Shred contents of subfolders", "&Remove subfolders after shredding",
                                            "OK", "Help", "Cancel"});
    CHECK(helpKeptOpen);
    CHECK(edited.ok);
    CHECK(edited.policies.contents == 2);
    CHECK(edited.policies.removal == 1);
}
