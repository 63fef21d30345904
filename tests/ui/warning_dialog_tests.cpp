#include "engine/UserChannel.h"
#include "tests/ui/DialogScript.h"
#include "ui/DialogChannel.h"
#include "ui/WarningDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>

#include <memory>

using namespace uitest;

namespace {

// One button per command, in letters of every case, and names that must not match.
const char* const CommandMovie =
    "movie 1 234 82\n"
    "button 0 0 30 10 command=id_fs_ok text=b1\n"
    "button 30 0 30 10 command=ID_FS_YES text=b2\n"
    "button 60 0 30 10 command=Id_Fs_Continue text=b3\n"
    "button 90 0 30 10 command=id_fs_CANCEL text=b4\n"
    "button 120 0 30 10 command=ID_FS_No text=b5\n"
    "button 150 0 30 10 command=ID_FS_unknown text=b6\n"
    "button 180 0 30 10 command=\"ID_FS_yes \" text=b7\n"
    "button 0 20 30 10 command=ID_FS_OKAY text=b8\n"
    "button 30 20 30 10 command=ID_FS_ok arg=ignored text=b9\n";

struct Outcome {
    INT_PTR ending;
    int answer;
};

// Runs a fresh warning dialog that presses the movie button `text`; `ignored` buttons leave
// the dialog open, which is then ended with Escape.
Outcome PressMovieButton(bool big, int style, const std::string& text, bool* stayedOpen = nullptr)
{
    std::unique_ptr<CWarningDlg> dialog(big ? new CBigWarningDlg : new CWarningDlg);
    dialog->m_style = style;
    dialog->m_message = "message";
    dialog->m_title = "title";
    bool open = false;
    ScriptResult result = RunScripted(*dialog, {
        [&](HWND window) {
            HWND button = MovieControl(window, text);
            REQUIRE(button != nullptr);
            Click(button);
        },
        [&](HWND window) {
            open = true;
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        },
    });
    CHECK_FALSE(result.hung);
    if (stayedOpen)
        *stayedOpen = open;
    return {result.ending, CWarningDlg::Answer()};
}

}  // namespace

TEST_CASE("each warning style offers its buttons, and each button gives its ending and answer")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    struct Case {
        int style;
        std::vector<std::string> buttons;
        std::vector<Outcome> outcomes;  // per button
    } cases[] = {
        {0, {"OK"}, {{IDOK, 6}}},
        {1, {"Continue", "Stop"}, {{IDOK, 6}, {IDCANCEL, 2}}},
        {2, {"OK", "Cancel"}, {{IDOK, 6}, {IDCANCEL, 2}}},
        {3, {"Yes", "No", "Cancel"}, {{IDOK, 6}, {IDCANCEL, 7}, {IDCANCEL, 2}}},
        {4, {"OK"}, {{IDOK, 6}}},
        {5, {"Continue", "Stop"}, {{IDOK, 6}, {IDCANCEL, 2}}},
        {6, {"Yes", "No"}, {{IDOK, 6}, {IDCANCEL, 7}}},
    };
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            CAPTURE(big);
            CAPTURE(c.style);
            CWarningDlg small;
            CBigWarningDlg large;
            CWarningDlg& dialog = big ? large : small;
            dialog.m_style = c.style;
            std::vector<std::string> shown;
            ScriptResult result = RunScripted(dialog, {[&](HWND window) {
                shown = VisibleMovieButtons(window);
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }});
            CHECK_FALSE(result.hung);
            CHECK(shown == c.buttons);

            for (size_t i = 0; i < c.buttons.size(); ++i) {
                CAPTURE(c.buttons[i]);
                Outcome outcome = PressMovieButton(big, c.style, c.buttons[i]);
                CHECK(outcome.ending == c.outcomes[i].ending);
                CHECK(outcome.answer == c.outcomes[i].answer);
            }
        }
    }
}

TEST_CASE("movie commands are matched without regard to letter case, and only whole names")
{
    Installation installation;
    installation.WriteMovie("warnning.swf", CommandMovie);
    installation.WriteMovie("Bigwarn.swf", CommandMovie);
    struct Case {
        const char* button;
        bool ignored;
        Outcome warning;
        bool ignoredByBig;
        Outcome big;
    } cases[] = {
        {"b1", false, {IDOK, 6}, false, {IDOK, 6}},
        {"b2", false, {IDOK, 6}, false, {IDOK, 6}},
        {"b3", false, {IDOK, 6}, true, {IDCANCEL, 2}},  // the big dialog has no Continue
        {"b4", false, {IDCANCEL, 2}, false, {IDCANCEL, 2}},
        {"b5", false, {IDCANCEL, 7}, false, {IDCANCEL, 7}},
        {"b6", true, {IDCANCEL, 2}, true, {IDCANCEL, 2}},
        {"b7", true, {IDCANCEL, 2}, true, {IDCANCEL, 2}},
        {"b8", true, {IDCANCEL, 2}, true, {IDCANCEL, 2}},
        {"b9", false, {IDOK, 6}, false, {IDOK, 6}},
    };
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        for (bool big : {false, true}) {
            CAPTURE(big);
            bool stayedOpen = false;
            Outcome outcome = PressMovieButton(big, 0, c.button, &stayedOpen);
            CHECK(stayedOpen == (big ? c.ignoredByBig : c.ignored));
            CHECK(outcome.ending == (big ? c.big : c.warning).ending);
            CHECK(outcome.answer == (big ? c.big : c.warning).answer);
        }
    }
}

TEST_CASE("window commands end the warning dialogs as the movie commands do")
{
    Installation installation;
    installation.CopyAllMovies();
    struct Case {
        int id;
        Outcome outcome;
    } cases[] = {{IDOK, {IDOK, 6}}, {IDCANCEL, {IDCANCEL, 2}}, {IDC_WARNING_NO, {IDCANCEL, 7}}};
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            CAPTURE(big);
            CAPTURE(c.id);
            CWarningDlg small;
            CBigWarningDlg large;
            CWarningDlg& dialog = big ? large : small;
            dialog.m_style = 3;
            ScriptResult result =
                RunScripted(dialog, {[&](HWND window) { PostMessageA(window, WM_COMMAND, c.id, 0); }});
            CHECK_FALSE(result.hung);
            CHECK(result.ending == c.outcome.ending);
            CHECK(CWarningDlg::Answer() == c.outcome.answer);
        }
    }
}

TEST_CASE("the keyboard answers: Enter presses the default button, Escape cancels, Tab moves")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    CWarningDlg dialog;
    dialog.m_style = 3;
    std::string focused;
    ScriptResult result = RunScripted(dialog, {[&](HWND) {
        focused = Text(GetFocus());
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    }});
    CHECK_FALSE(result.hung);
    CHECK(focused == "Yes");
    CHECK(result.ending == IDOK);
    CHECK(CWarningDlg::Answer() == 6);

    // Tab to "No", then Enter presses it.
    std::string afterTab;
    result = RunScripted(dialog, {
        [&](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0); },
        [&](HWND) {
            afterTab = Text(GetFocus());
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        },
    });
    CHECK_FALSE(result.hung);
    CHECK(afterTab == "No");
    CHECK(result.ending == IDCANCEL);
    CHECK(CWarningDlg::Answer() == 7);

    for (int style = 0; style <= 6; ++style) {
        CAPTURE(style);
        dialog.m_style = style;
        result = RunScripted(dialog, {[&](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }});
        CHECK_FALSE(result.hung);
        CHECK(result.ending == IDCANCEL);
        CHECK(CWarningDlg::Answer() == 2);
    }
}

TEST_CASE("Enter and Escape in a long, scrolling message answer as on the buttons")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    std::string longText;
    for (int i = 1; i <= 30; ++i)
        longText += "line " + std::to_string(i) + "\n";
    struct Case {
        WPARAM key;
        INT_PTR ending;
        int answer;
    } cases[] = {{VK_RETURN, IDOK, 6}, {VK_ESCAPE, IDCANCEL, 2}};
    for (const Case& c : cases) {
        CAPTURE(c.key);
        CWarningDlg dialog;
        dialog.m_style = 2;
        dialog.m_message = longText;
        bool scrolls = false;
        ScriptResult result = RunScripted(dialog, {
            [&](HWND window) {
                HWND message = GetWindow(GetDlgItem(window, 1060), GW_CHILD);
                while (message) {
                    char name[16] = {};
                    GetClassNameA(message, name, sizeof(name));
                    if (lstrcmpiA(name, "Edit") == 0)
                        break;
                    message = GetWindow(message, GW_HWNDNEXT);
                }
                REQUIRE(message != nullptr);
                scrolls = (GetWindowLongPtrA(message, GWL_STYLE) & WS_TABSTOP) != 0;
                SetFocus(message);
                PostMessageA(message, WM_KEYDOWN, c.key, 0);
            },
        });
        CHECK_FALSE(result.hung);
        CHECK(scrolls);
        CHECK(result.ending == c.ending);
        CHECK(CWarningDlg::Answer() == c.answer);
    }
}

TEST_CASE("two warning dialogs in a row: the second answer replaces the first")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    Outcome first = PressMovieButton(false, 3, "No");
    CHECK(first.answer == 7);
    Outcome second = PressMovieButton(false, 3, "Yes");
    CHECK(second.answer == 6);
    Outcome third = PressMovieButton(true, 6, "No");
    CHECK(third.answer == 7);
}

TEST_CASE("the warning dialog loads its movie, goes to the style's frame, then sets message and title")
{
    Installation installation;
    installation.CopyAllMovies();
    struct Case {
        bool big;
        const char* movie;
    } cases[] = {{false, "warnning.swf"}, {true, "Bigwarn.swf"}};
    for (const Case& c : cases) {
        INFO("c.movie: " << std::string(c.movie));
        std::unique_ptr<CWarningDlg> dialog(c.big ? new CBigWarningDlg : new CWarningDlg);
        dialog->m_style = 5;
        dialog->m_message = "line one\nline two";
        dialog->m_title = "The title";
        MovieCallRecorder recorder;
        std::string shownMessage, shownTitle;
        ScriptResult result = RunScripted(*dialog, {[&](HWND window) {
            shownTitle = Text(MovieControl(window, "The title", "Static"));
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }});
        CHECK_FALSE(result.hung);
        std::vector<std::string> expected = {
            "Movie:" + installation.Path() + "\\Skin\\" + c.movie,
            "Scale:NoScale",
            "AlignMode:1",
            "BackgroundColor:15330028",
            "GotoFrame:5",
            "SetVariable:_root.massage=line one\nline two",
            "SetVariable:_root.title=The title",
        };
        CHECK(recorder.calls == expected);
        CHECK(shownTitle == "The title");
    }
}

TEST_CASE("F1, the context-menu key and the right button never reach the movie")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    FakeMainWindow main;
    CWarningDlg dialog;
    dialog.m_style = 2;
    std::unique_ptr<InputRecorder> input;
    bool mainDisabled = false;
    int helpAfterF1 = -1;
    ScriptResult result = RunScripted(dialog, {
        [&](HWND window) {
            mainDisabled = !IsWindowEnabled(main.Get());
            HWND button = MovieControl(window, "Cancel");
            REQUIRE(button != nullptr);
            input.reset(new InputRecorder(button));
            PostMessageA(button, WM_KEYDOWN, VK_F1, 0);
            PostMessageA(button, WM_KEYDOWN, VK_APPS, 0);
            PostMessageA(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
            PostMessageA(button, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
            PostMessageA(button, WM_KEYDOWN, 'A', 0);
        },
        [&](HWND window) {
            helpAfterF1 = main.helpRequests;
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        },
    });
    CHECK_FALSE(result.hung);
    CHECK(result.ending == IDOK);
    CHECK(mainDisabled);
    CHECK(IsWindowEnabled(main.Get()));
    CHECK(helpAfterF1 == 1);
    REQUIRE(input);
    // F1 is not passed on; the context-menu key arrives as key 0; other keys arrive unchanged.
    CHECK(input->keysDown == std::vector<WPARAM>{0, 'A'});
    CHECK(input->rightButtons == 0);
    CHECK(input->contextMenus == 0);
}

TEST_CASE("without its movie the warning dialog shows its own text and the style's buttons")
{
    struct Movie {
        const char* name;
        std::string text;  // null movie: none at all
        bool present;
    } movies[] = {
        {"missing", "", false},
        {"unreadable (a folder)", "", false},
        {"empty", "", true},
        {"not a scene", "\x89PNG\r\n\x1a\n binary", true},
        {"unknown element", "movie 1 234 82\nslider 0 0 10 10\n", true},
        {"missing field", "movie 1 234 82\nbutton 0 0 10 10 text=OK\n", true},
        {"huge line", "movie 1 234 82\nlabel 0 0 10 10 text=" + std::string(100000, 'x') + "\n", true},
    };
    struct Style {
        int style;
        std::vector<std::pair<int, std::string>> buttons;
    } styles[] = {
        {0, {{IDOK, "OK"}}},
        {1, {{IDOK, "Continue"}, {IDCANCEL, "Stop"}}},
        {2, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}},
        {3, {{IDOK, "Yes"}, {IDC_WARNING_NO, "No"}, {IDCANCEL, "Cancel"}}},
        {6, {{IDOK, "Yes"}, {IDC_WARNING_NO, "No"}}},
    };
    for (const Movie& movie : movies) {
        INFO("movie.name: " << std::string(movie.name));
        Installation installation;
        installation.CopyEnglishPack();
        if (movie.present)
            installation.WriteMovie("warnning.swf", movie.text);
        else if (std::string(movie.name).find("folder") != std::string::npos)
            CreateDirectoryA((installation.Path() + "\\Skin\\warnning.swf").c_str(), nullptr);
        for (const Style& style : styles) {
            CAPTURE(style.style);
            CWarningDlg dialog;
            dialog.m_style = style.style;
            dialog.m_message = "first\nsecond";
            dialog.m_title = "Title";
            bool hostVisible = true;
            std::string title, message;
            std::vector<std::pair<int, std::string>> buttons;
            ScriptResult result = RunScripted(dialog, {[&](HWND window) {
                hostVisible = Visible(window, 1060);
                title = Visible(window, IDC_WARNING_TITLE) ? Text(GetDlgItem(window, IDC_WARNING_TITLE)) : "";
                message = Visible(window, IDC_WARNING_TEXT) ? Text(GetDlgItem(window, IDC_WARNING_TEXT)) : "";
                for (int id : {IDOK, IDC_WARNING_NO, IDCANCEL})
                    if (Visible(window, id))
                        buttons.emplace_back(id, Text(GetDlgItem(window, id)));
                // The last button answers.
                Click(GetDlgItem(window, style.buttons.back().first));
            }});
            CHECK_FALSE(result.hung);
            CHECK_FALSE(hostVisible);
            CHECK(title == "Title");
            CHECK(message == "first\r\nsecond");
            CHECK(buttons == style.buttons);
            int lastId = style.buttons.back().first;
            CHECK(CWarningDlg::Answer() == (lastId == IDOK ? 6 : lastId == IDC_WARNING_NO ? 7 : 2));
        }
    }
}

TEST_CASE("without its movie the warning dialog still answers from the keyboard")
{
    Installation installation;
    struct Case {
        WPARAM key;
        INT_PTR ending;
        int answer;
    } cases[] = {{VK_RETURN, IDOK, 6}, {VK_ESCAPE, IDCANCEL, 2}};
    for (const Case& c : cases) {
        CAPTURE(c.key);
        CWarningDlg dialog;
        dialog.m_style = 3;
        dialog.m_message = "text";
        int focused = 0;
        ScriptResult result = RunScripted(dialog, {[&](HWND) {
            focused = GetDlgCtrlID(GetFocus());
            PostMessageA(GetFocus(), WM_KEYDOWN, c.key, 0);
        }});
        CHECK_FALSE(result.hung);
        CHECK(focused == IDOK);
        CHECK(result.ending == c.ending);
        CHECK(CWarningDlg::Answer() == c.answer);
    }
}

TEST_CASE("the dialog channel asks in the warning dialogs and returns the answer")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    DialogChannel channel;
    struct Case {
        bool big;
        int style;
        const char* button;
        int answer;
        const char* movie;
    } cases[] = {
        {false, 3, "No", 7, "warnning.swf"},
        {true, 3, "Yes", 6, "Bigwarn.swf"},
        {true, 5, "Stop", 2, "Bigwarn.swf"},
        {false, 1, "Continue", 6, "warnning.swf"},
    };
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        CAPTURE(c.big);
        MovieCallRecorder recorder;
        std::string message;
        ScriptResult result = RunScripted([&] { return static_cast<INT_PTR>(channel.Ask(c.style, "text", "title", c.big)); },
                                          {[&](HWND window) {
                                              message = Text(MovieControl(window, "text", "Edit"));
                                              Click(MovieControl(window, c.button));
                                          }});
        CHECK_FALSE(result.hung);
        CHECK(result.ending == c.answer);
        CHECK(message == "text");
        REQUIRE_FALSE(recorder.calls.empty());
        CHECK(recorder.calls.front() == "Movie:" + installation.Path() + "\\Skin\\" + c.movie);
    }
}

TEST_CASE("pressing the movie's drag area starts moving the window by its caption")
{
    Installation installation;
    installation.CopyAllMovies();
    CWarningDlg dialog;
    std::vector<std::pair<HWND, WPARAM>> presses;
    static std::vector<std::pair<HWND, WPARAM>>* record = nullptr;
    record = &presses;
    HHOOK hook = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && call->message == WM_NCLBUTTONDOWN && record)
                record->emplace_back(call->hwnd, call->wParam);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    REQUIRE(hook != nullptr);
    HWND dragged = nullptr;
    ScriptResult result = RunScripted(dialog, {
        [&](HWND window) {
            dragged = window;
            // The system's move ends at the button's release, which is already waiting.
            PostMessageA(window, WM_LBUTTONUP, 0, 0);
            SendMessageA(GetDlgItem(window, 1060), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
        },
        [&](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); },
    });
    UnhookWindowsHookEx(hook);
    record = nullptr;
    CHECK_FALSE(result.hung);
    REQUIRE(presses.size() == 1);
    CHECK(presses[0].first == dragged);
    CHECK(presses[0].second == HTCAPTION);
}
