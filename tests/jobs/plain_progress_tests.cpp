// The plain progress window of a program without its movie dialogs: command-line jobs need one
// to shred at all, and its Cancel must reach the run's stop request.
#include "ui/MessageBoxChannel.h"

#include <doctest/doctest.h>

TEST_CASE("the plain progress window exists, cancels the run and goes with its owner")
{
    MessageBoxChannel channel;
    int stopRequest = 0;
    std::unique_ptr<ProgressView> progress = channel.OpenProgress(nullptr, &stopRequest);
    REQUIRE(progress != nullptr);
    HWND window = FindWindowA("VantorShredderPlainProgress", nullptr);
    REQUIRE(window != nullptr);

    progress->SetCaption("Shredding");
    progress->SetLine(1, "C:\\file.txt");
    progress->SetRange(3);
    progress->SetPosition(2);
    progress->ShowAndEnable();
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    CHECK(std::string(text) == "Shredding");
    GetDlgItemTextA(window, 101, text, sizeof(text));
    CHECK(std::string(text) == "C:\\file.txt");
    CHECK(IsWindowVisible(window));
    CHECK(stopRequest == 0);

    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    CHECK(stopRequest == 1);
    stopRequest = 0;
    SendMessageA(window, WM_CLOSE, 0, 0);
    CHECK(stopRequest == 1);
    CHECK(IsWindow(window));  // closing only asks the run to stop

    progress.reset();
    CHECK_FALSE(IsWindow(window));
}
