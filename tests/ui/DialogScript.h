// Drives the program's real dialogs from inside their own modal loops: steps run one per timer
// tick on the dialog that is open, and whatever they post is processed before the next step.
#pragma once

#include "tests/support/TestSupport.h"
#include "ui/MovieDialog.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uitest {

using Step = std::function<void(HWND dialog)>;

struct ScriptResult {
    INT_PTR ending = 0;
    size_t stepsRun = 0;
    bool hung = false;  // the dialog stayed open after the last step; it was closed by force
};

// Runs `dialog` modally and plays `steps` against it.
ScriptResult RunScripted(CMovieDialog& dialog, std::vector<Step> steps);
// The same for whatever `run` opens modally; its result is the ending.
ScriptResult RunScripted(const std::function<INT_PTR()>& run, std::vector<Step> steps);

// The open, enabled dialog window of this thread that is on top, or null.
HWND OpenDialog();

// A control of the movie (a child of the movie host) with this text and window class.
HWND MovieControl(HWND dialog, const std::string& text, const char* className = "Button");
// Every such control, in the movie's order.
std::vector<HWND> MovieControls(HWND dialog, const std::string& text, const char* className = "Button");
// The texts of the visible movie push buttons, left to right.
std::vector<std::string> VisibleMovieButtons(HWND dialog);
// The progress window open on this thread (the window with the progress bar), or null.
HWND ThreadProgressWindow();
// Presses a button the way a mouse click does.
void Click(HWND button);
std::string Text(HWND window);
// The text of a message box, or of a warning dialog (which keeps it in a hidden text, 1101).
std::string Message(HWND dialog);
bool Visible(HWND dialog, int id);

// An installation folder made the settings' AppPath, with Skin and Lang folders.
class Installation {
public:
    Installation();
    const std::string& Path() const { return folder_.Path(); }
    void CopyMovie(const char* name);
    void CopyAllMovies();
    void WriteMovie(const char* name, const std::string& text);
    void CopyEnglishPack();

private:
    test::FreshSettings settings_;
    test::TempFolder folder_;
};

// A hidden top-level window made the application's main window; counts help requests.
class FakeMainWindow {
public:
    FakeMainWindow();
    ~FakeMainWindow();
    HWND Get() const { return window_; }
    int helpRequests = 0;

private:
    HWND window_;
};

// Records the keys and right-button presses a window receives.
class InputRecorder {
public:
    explicit InputRecorder(HWND window);
    ~InputRecorder();
    std::vector<WPARAM> keysDown;
    int rightButtons = 0;
    int contextMenus = 0;

private:
    HWND window_;
    WNDPROC previous_;
};

}  // namespace uitest
