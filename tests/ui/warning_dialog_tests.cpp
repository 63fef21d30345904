#include "engine/UserChannel.h"
#include "tests/ui/DialogScript.h"
#include "ui/DialogChannel.h"
#include "ui/WarningDlg.h"
#include "ui/resource.h"

#include <doctest/doctest.h>


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
    INT_PTR ending;  // IDOK for the positive answer, IDCANCEL for No and Cancel
    Answer answer;
};

DialogSize SizeOf(bool big)
{
    return big ? DialogSize::Big : DialogSize::Normal;
}

// Shows a warning dialog through its entry function while `steps` play against it.
Outcome RunWarning(bool big, WarningStyle style, const std::string& message, const std::string& title,
                   std::vector<Step> steps, ScriptResult* script = nullptr)
{
    Answer answer = Answer::Cancel;
    ScriptResult result = RunScripted(
        [&] {
            answer = ShowWarning(nullptr, style, message, title, SizeOf(big));
            return static_cast<INT_PTR>(answer == Answer::Positive ? IDOK : IDCANCEL);
        },
        std::move(steps));
    CHECK_FALSE(result.hung);
    CHECK(LastWarningAnswer() == answer);
    if (script)
        *script = result;
    return {result.ending, answer};
}

// Runs a fresh warning dialog that presses the movie button `text`; `ignored` buttons leave
// the dialog open, which is then ended with Escape.
Outcome PressMovieButton(bool big, WarningStyle style, const std::string& text, bool* stayedOpen = nullptr)
{
    bool open = false;
    Outcome outcome = RunWarning(big, style, "message", "title", {
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
    if (stayedOpen)
        *stayedOpen = open;
    return outcome;
}

}  // namespace

TEST_CASE("each warning style offers its buttons, and each button gives its ending and answer")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    const Outcome ok = {IDOK, Answer::Positive}, no = {IDCANCEL, Answer::No}, cancel = {IDCANCEL, Answer::Cancel};
    struct Case {
        WarningStyle style;
        std::vector<std::string> buttons;
        std::vector<Outcome> outcomes;  // per button
    } cases[] = {
        {WarningStyle::Notice, {"OK"}, {ok}},
        {WarningStyle::GoOnQuestion, {"Continue", "Stop"}, {ok, cancel}},
        {WarningStyle::Confirm, {"OK", "Cancel"}, {ok, cancel}},
        {WarningStyle::YesNoCancel, {"Yes", "No", "Cancel"}, {ok, no, cancel}},
        {WarningStyle::Error, {"OK"}, {ok}},
        {WarningStyle::ContinueStop, {"Continue", "Stop"}, {ok, cancel}},
        {WarningStyle::YesNo, {"Yes", "No"}, {ok, no}},
    };
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            CAPTURE(big);
            CAPTURE(c.style);
            std::vector<std::string> shown;
            RunWarning(big, c.style, "", "", {[&](HWND window) {
                shown = VisibleMovieButtons(window);
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }});
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
    const Outcome ok = {IDOK, Answer::Positive}, no = {IDCANCEL, Answer::No}, cancel = {IDCANCEL, Answer::Cancel};
    struct Case {
        const char* button;
        bool ignored;
        Outcome warning;
        bool ignoredByBig;
        Outcome big;
    } cases[] = {
        {"b1", false, ok, false, ok},
        {"b2", false, ok, false, ok},
        {"b3", false, ok, true, cancel},  // the big dialog has no Continue
        {"b4", false, cancel, false, cancel},
        {"b5", false, no, false, no},
        {"b6", true, cancel, true, cancel},
        {"b7", true, cancel, true, cancel},
        {"b8", true, cancel, true, cancel},
        {"b9", false, ok, false, ok},
    };
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        for (bool big : {false, true}) {
            CAPTURE(big);
            bool stayedOpen = false;
            Outcome outcome = PressMovieButton(big, WarningStyle::Notice, c.button, &stayedOpen);
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
    } cases[] = {{IDOK, {IDOK, Answer::Positive}},
                 {IDCANCEL, {IDCANCEL, Answer::Cancel}},
                 {IDC_WARNING_NO, {IDCANCEL, Answer::No}}};
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            CAPTURE(big);
            CAPTURE(c.id);
            Outcome outcome = RunWarning(big, WarningStyle::YesNoCancel, "", "",
                                         {[&](HWND window) { PostMessageA(window, WM_COMMAND, c.id, 0); }});
            CHECK(outcome.ending == c.outcome.ending);
            CHECK(outcome.answer == c.outcome.answer);
        }
    }
}

TEST_CASE("the keyboard answers: Enter presses the default button, Escape cancels, Tab moves")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    std::string focused;
    Outcome outcome = RunWarning(false, WarningStyle::YesNoCancel, "", "", {[&](HWND) {
        focused = Text(GetFocus());
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    }});
    CHECK(focused == "Yes");
    CHECK(outcome.ending == IDOK);
    CHECK(outcome.answer == Answer::Positive);

    // Tab to "No", then Enter presses it.
    std::string afterTab;
    outcome = RunWarning(false, WarningStyle::YesNoCancel, "", "", {
        [&](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0); },
        [&](HWND) {
            afterTab = Text(GetFocus());
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        },
    });
    CHECK(afterTab == "No");
    CHECK(outcome.ending == IDCANCEL);
    CHECK(outcome.answer == Answer::No);

    for (int style = 0; style <= 6; ++style) {
        CAPTURE(style);
        outcome = RunWarning(false, static_cast<WarningStyle>(style), "", "",
                             {[&](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }});
        CHECK(outcome.ending == IDCANCEL);
        CHECK(outcome.answer == Answer::Cancel);
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
        Answer answer;
    } cases[] = {{VK_RETURN, IDOK, Answer::Positive}, {VK_ESCAPE, IDCANCEL, Answer::Cancel}};
    for (const Case& c : cases) {
        CAPTURE(c.key);
        bool scrolls = false;
        Outcome outcome = RunWarning(false, WarningStyle::Confirm, longText, "", {
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
        CHECK(scrolls);
        CHECK(outcome.ending == c.ending);
        CHECK(outcome.answer == c.answer);
    }
}

TEST_CASE("two warning dialogs in a row: the second answer replaces the first")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    CHECK(PressMovieButton(false, WarningStyle::YesNoCancel, "No").answer == Answer::No);
    CHECK(LastWarningAnswer() == Answer::No);
    CHECK(PressMovieButton(false, WarningStyle::YesNoCancel, "Yes").answer == Answer::Positive);
    CHECK(LastWarningAnswer() == Answer::Positive);
    CHECK(PressMovieButton(true, WarningStyle::YesNo, "No").answer == Answer::No);
    CHECK(LastWarningAnswer() == Answer::No);
}

TEST_CASE("the warning dialog plays its own movie at the style's frame, with the message and title")
{
    // Each movie says which it is; frame 5 shows its own button; both texts are bound.
    const char* const LabelledMovie =
        "movie 1 234 121\n"
        "label 0 0 100 10 text=\"%s\"\n"
        "label 0 12 200 10 var=_root.title\n"
        "message 0 24 200 40 var=_root.massage\n"
        "frame 0\n"
        "button 0 100 50 12 command=ID_FS_OK text=zero\n"
        "frame 5\n"
        "button 0 100 50 12 command=ID_FS_OK text=five\n";
    Installation installation;
    for (const char* name : {"warnning.swf", "Bigwarn.swf"}) {
        std::string movie = LabelledMovie;
        movie.replace(movie.find("%s"), 2, name);
        installation.WriteMovie(name, movie);
    }
    struct Case {
        bool big;
        const char* movie;
    } cases[] = {{false, "warnning.swf"}, {true, "Bigwarn.swf"}};
    for (const Case& c : cases) {
        INFO("c.movie: " << std::string(c.movie));
        bool ownMovie = false;
        std::string shownTitle, shownMessage;
        std::vector<std::string> buttons;
        RunWarning(c.big, WarningStyle::ContinueStop, "line one\nline two", "The title", {[&](HWND window) {
            ownMovie = MovieControl(window, c.movie, "Static") != nullptr;
            shownTitle = Text(MovieControl(window, "The title", "Static"));
            shownMessage = Text(MovieControl(window, "line one\r\nline two", "Edit"));
            buttons = VisibleMovieButtons(window);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }});
        CHECK(ownMovie);
        CHECK(shownTitle == "The title");
        CHECK(shownMessage == "line one\r\nline two");
        CHECK(buttons == std::vector<std::string>{"five"});
    }
}

TEST_CASE("F1, the context-menu key and the right button never reach the movie")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    FakeMainWindow main;
    std::unique_ptr<InputRecorder> input;
    bool mainDisabled = false;
    int helpAfterF1 = -1;
    Outcome outcome = RunWarning(false, WarningStyle::Confirm, "", "", {
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
    CHECK(outcome.ending == IDOK);
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
        WarningStyle style;
        std::vector<std::pair<int, std::string>> buttons;
    } styles[] = {
        {WarningStyle::Notice, {{IDOK, "OK"}}},
        {WarningStyle::GoOnQuestion, {{IDOK, "Continue"}, {IDCANCEL, "Stop"}}},
        {WarningStyle::Confirm, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}},
        {WarningStyle::YesNoCancel, {{IDOK, "Yes"}, {IDC_WARNING_NO, "No"}, {IDCANCEL, "Cancel"}}},
        {WarningStyle::YesNo, {{IDOK, "Yes"}, {IDC_WARNING_NO, "No"}}},
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
            bool hostVisible = true;
            std::string title, message;
            std::vector<std::pair<int, std::string>> buttons;
            Outcome outcome = RunWarning(false, style.style, "first\nsecond", "Title", {[&](HWND window) {
                hostVisible = Visible(window, 1060);
                title = Visible(window, IDC_WARNING_TITLE) ? Text(GetDlgItem(window, IDC_WARNING_TITLE)) : "";
                message = Visible(window, IDC_WARNING_TEXT) ? Text(GetDlgItem(window, IDC_WARNING_TEXT)) : "";
                for (int id : {IDOK, IDC_WARNING_NO, IDCANCEL})
                    if (Visible(window, id))
                        buttons.emplace_back(id, Text(GetDlgItem(window, id)));
                // The last button answers.
                Click(GetDlgItem(window, style.buttons.back().first));
            }});
            CHECK_FALSE(hostVisible);
            CHECK(title == "Title");
            CHECK(message == "first\r\nsecond");
            CHECK(buttons == style.buttons);
            int lastId = style.buttons.back().first;
            CHECK(outcome.answer == (lastId == IDOK             ? Answer::Positive
                                     : lastId == IDC_WARNING_NO ? Answer::No
                                                                : Answer::Cancel));
        }
    }
}

TEST_CASE("without its movie the warning dialog still answers from the keyboard")
{
    Installation installation;
    struct Case {
        WPARAM key;
        INT_PTR ending;
        Answer answer;
    } cases[] = {{VK_RETURN, IDOK, Answer::Positive}, {VK_ESCAPE, IDCANCEL, Answer::Cancel}};
    for (const Case& c : cases) {
        CAPTURE(c.key);
        int focused = 0;
        Outcome outcome = RunWarning(false, WarningStyle::YesNoCancel, "text", "", {[&](HWND) {
            focused = GetDlgCtrlID(GetFocus());
            PostMessageA(GetFocus(), WM_KEYDOWN, c.key, 0);
        }});
        CHECK(focused == IDOK);
        CHECK(outcome.ending == c.ending);
        CHECK(outcome.answer == c.answer);
    }
}

TEST_CASE("the dialog channel asks in the warning dialogs and returns the answer")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    DialogChannel channel;
    struct Case {
        DialogSize size;
        WarningStyle style;
        const char* button;
        Answer answer;
        int height;  // of the dialog, in dialog units: the big one is taller
    } cases[] = {
        {DialogSize::Normal, WarningStyle::YesNoCancel, "No", Answer::No, 82},
        {DialogSize::Big, WarningStyle::YesNoCancel, "Yes", Answer::Positive, 121},
        {DialogSize::Big, WarningStyle::ContinueStop, "Stop", Answer::Cancel, 121},
        {DialogSize::Normal, WarningStyle::GoOnQuestion, "Continue", Answer::Positive, 82},
    };
    for (const Case& c : cases) {
        INFO("c.button: " << std::string(c.button));
        std::string message;
        int height = 0;
        Answer answer = Answer::Cancel;
        ScriptResult result = RunScripted(
            [&] {
                answer = channel.Ask(c.style, "text", "title", c.size);
                return static_cast<INT_PTR>(answer == Answer::Positive ? IDOK : IDCANCEL);
            },
            {[&](HWND window) {
                RECT units = {0, 0, 4, 8}, client;
                MapDialogRect(window, &units);
                GetClientRect(window, &client);
                height = static_cast<int>((client.bottom * 8 + units.bottom / 2) / units.bottom);
                message = Text(MovieControl(window, "text", "Edit"));
                Click(MovieControl(window, c.button));
            }});
        CHECK_FALSE(result.hung);
        CHECK(answer == c.answer);
        CHECK(message == "text");
        CHECK(height == c.height);
    }
}

TEST_CASE("pressing the movie's drag area starts moving the window by its caption")
{
    Installation installation;
    installation.CopyAllMovies();
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
    RunWarning(false, WarningStyle::Notice, "", "", {
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
    REQUIRE(presses.size() == 1);
    CHECK(presses[0].first == dragged);
    CHECK(presses[0].second == HTCAPTION);
}
