#include "tests/ui/DialogScript.h"
#include "ui/DialogChannel.h"
#include "ui/ProgressDlg.h"
#include "ui/ShockwaveFlash.h"
#include "ui/resource.h"

#include <commctrl.h>
#include <doctest/doctest.h>

using namespace uitest;

namespace {

// The progress window of this thread: the channel hands out only the engine's view of it.
HWND ProgressWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            if (GetDlgItem(window, IDC_PROGRESS_BAR)) {
                *reinterpret_cast<HWND*>(lParam) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string MovieVariable(HWND window, const char* name)
{
    CShockwaveFlash movie;
    movie.Attach(window, IDC_MOVIE);
    return movie.GetVariable(name);
}

}  // namespace

TEST_CASE("the progress window opens hidden, shows on request and writes each line twice")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    DialogChannel channel;
    int stop = 0;
    std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
    REQUIRE(view);
    HWND window = ProgressWindow();
    REQUIRE(window != nullptr);
    CHECK_FALSE(IsWindowVisible(window));
    CHECK(Text(window) == "Shredding.....");
    CHECK(Text(GetDlgItem(window, IDCANCEL)) == "Cancel");

    view->ShowAndEnable();
    CHECK(IsWindowVisible(window));
    CHECK(IsWindowEnabled(window));
    CHECK(Visible(window, IDC_PROGRESS_BAR));
    CHECK(Visible(window, IDC_MOVIE));
    CHECK_FALSE(Visible(window, IDC_PROGRESS_LINE1));

    const char* lines[] = {"C:\\data\\a file.txt", "Overwriting with zeroes", "Pass 1 of 3"};
    for (int line = 1; line <= 3; ++line)
        view->SetLine(line, lines[line - 1]);
    for (int line = 1; line <= 3; ++line) {
        CAPTURE(line);
        std::string name = "_root.states" + std::to_string(line);
        CHECK(MovieVariable(window, name.c_str()) == lines[line - 1]);
        CHECK(Text(GetDlgItem(window, IDC_PROGRESS_LINE1 + line - 1)) == lines[line - 1]);
        CHECK(MovieControl(window, lines[line - 1], "Static") != nullptr);
    }
    view->SetLine(4, "ignored");
    CHECK(MovieVariable(window, "_root.states4").empty());

    CHECK(MovieControl(window, "Shredding.....", "Static") != nullptr);  // the movie shows the caption
    view->SetCaption("Wiping free space on C:");
    channel.DrainQueue();
    CHECK(Text(window) == "Wiping free space on C:");
    CHECK(MovieControl(window, "Wiping free space on C:", "Static") != nullptr);
    view->Repaint();
}

TEST_CASE("the progress bar follows the range and position, however large")
{
    Installation installation;
    installation.CopyAllMovies();
    DialogChannel channel;
    int stop = 0;
    std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
    REQUIRE(view);
    HWND bar = GetDlgItem(ProgressWindow(), IDC_PROGRESS_BAR);
    struct Case {
        long long range;
        long long position;
        double fraction;
    } cases[] = {{10, 4, 0.4}, {1, 1, 1.0}, {(1LL << 40) + 1, 1LL << 39, 0.5}, {0x7FFFFFFFLL * 3, 0x7FFFFFFFLL, 1.0 / 3}};
    for (const Case& c : cases) {
        CAPTURE(c.range);
        view->SetRange(c.range);
        view->SetPosition(c.position);
        int high = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
        REQUIRE(high > 0);
        CHECK(static_cast<double>(position) / high == doctest::Approx(c.fraction).epsilon(0.001));
    }
}

TEST_CASE("cancelling sets the stop request and disables Cancel; twice is the same as once")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    DialogChannel channel;
    struct Route {
        const char* name;
        void (*cancel)(HWND window);
    } routes[] = {
        {"movie button", [](HWND w) { Click(MovieControl(w, "Cancel")); }},
        {"window command", [](HWND w) { SendMessageA(w, WM_COMMAND, IDCANCEL, 0); }},
        {"Escape through the message pump", [](HWND w) { PostMessageA(MovieControl(w, "Cancel"), WM_KEYDOWN, VK_ESCAPE, 0); }},
    };
    for (const Route& first : routes) {
        for (const Route& second : routes) {
            INFO("first.name: " << std::string(first.name));
            INFO("second.name: " << std::string(second.name));
            int stop = 0;
            std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
            REQUIRE(view);
            view->ShowAndEnable();
            HWND window = ProgressWindow();
            first.cancel(window);
            channel.DrainQueue();
            CHECK(stop == 1);
            CHECK_FALSE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));
            second.cancel(window);
            channel.DrainQueue();
            CHECK(stop == 1);
            CHECK_FALSE(IsWindowEnabled(GetDlgItem(window, IDCANCEL)));
            CHECK(IsWindow(window));
            CHECK(IsWindowVisible(window));
        }
    }
}

TEST_CASE("without its movie the progress window shows its own lines and Cancel")
{
    for (bool malformed : {false, true}) {
        CAPTURE(malformed);
        Installation installation;
        if (malformed)
            installation.WriteMovie("progress.swf", "movie 1 302 119\nlabel 0 0 10 10 var=_root.states1 bogus=1\n");
        DialogChannel channel;
        int stop = 0;
        std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
        REQUIRE(view);
        view->ShowAndEnable();
        HWND window = ProgressWindow();
        view->SetLine(2, "second");
        CHECK_FALSE(Visible(window, IDC_MOVIE));
        for (int id : {IDC_PROGRESS_LINE1, IDC_PROGRESS_LINE2, IDC_PROGRESS_LINE3, IDC_PROGRESS_BAR, IDCANCEL}) {
            CAPTURE(id);
            CHECK(Visible(window, id));
        }
        CHECK(Text(GetDlgItem(window, IDC_PROGRESS_LINE2)) == "second");
        // No language pack: the built-in caption.
        CHECK(Text(window) == "Shredding.....");
        Click(GetDlgItem(window, IDCANCEL));
        CHECK(stop == 1);
    }
}

TEST_CASE("releasing the progress window destroys it")
{
    Installation installation;
    installation.CopyAllMovies();
    DialogChannel channel;
    int stop = 0;
    std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
    REQUIRE(view);
    HWND window = ProgressWindow();
    REQUIRE(window != nullptr);
    view.reset();
    CHECK_FALSE(IsWindow(window));
    CHECK(ProgressWindow() == nullptr);
}

TEST_CASE("the message pump leaves the quit message for the program's own loop")
{
    DialogChannel channel;
    PostQuitMessage(3);
    channel.DrainQueue();
    MSG message;
    REQUIRE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    CHECK(message.wParam == 3);
}

TEST_CASE("reports closer together than the update interval: the latest is shown by the window's timer")
{
    Installation installation;
    installation.CopyAllMovies();
    DialogChannel channel;
    int stop = 0;
    std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
    REQUIRE(view);
    view->ShowAndEnable();
    HWND window = ProgressWindow();
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    auto shownPosition = [bar] { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); };

    view->SetRange(100);
    view->SetPosition(1);
    CHECK(shownPosition() == 1);  // the first of a range at once
    for (int position = 2; position <= 40; ++position)
        view->SetPosition(position);
    view->SetLine(1, "first");
    for (int n = 0; n < 20; ++n)
        view->SetLine(1, "line " + std::to_string(n));
    // However many of them were shown, the window's timer shows the latest.
    SendMessageA(window, WM_TIMER, 1, 0);
    CHECK(shownPosition() == 40);
    CHECK(MovieVariable(window, "_root.states1") == "line 19");
    CHECK(Text(GetDlgItem(window, IDC_PROGRESS_LINE1)) == "line 19");

    view->SetPosition(100);
    CHECK(shownPosition() == 100);  // the end at once
    view->SetRange(7);
    view->SetPosition(3);
    CHECK(shownPosition() == 3);  // a new range's first at once
}

namespace {

DWORD fakeTicks = 0;
DWORD WINAPI FakeClock() { return fakeTicks; }

bool AppMessageWaits()
{
    MSG message;
    return PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

}  // namespace

TEST_CASE("the engine's pump drains the queue once its interval since the last drain is over")
{
    for (DWORD start : {1000u, 0xFFFFFFFCu}) {  // the second runs across the counter's wrap
        CAPTURE(start);
        fakeTicks = start;
        DialogChannel channel(FakeClock);
        REQUIRE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0));
        channel.PumpMessages();
        CHECK_FALSE(AppMessageWaits());  // the first drain at once

        REQUIRE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0));
        fakeTicks += DialogChannel::DrainInterval - 1;
        channel.PumpMessages();
        CHECK(AppMessageWaits());  // within the interval: nothing asked of the system
        fakeTicks += 1;
        channel.PumpMessages();
        CHECK_FALSE(AppMessageWaits());

        REQUIRE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0));
        channel.DrainQueue();
        CHECK_FALSE(AppMessageWaits());  // DrainQueue does not wait for the interval
    }
}
