#include "tests/ui/DialogScript.h"

#include "common/Settings.h"
#include "ui/MoviePlayer.h"
#include "ui/resource.h"

#include <algorithm>
#include <map>

namespace uitest {

namespace {

// Ticks a dialog may stay open after the last step before it is closed by force: a guard
// against a hanging test run, not a measure of anything.
constexpr int GraceTicks = 300;
constexpr int MaxWaitTicks = 300;

struct Player {
    std::vector<Step> steps;
    size_t next = 0;
    int idleTicks = 0;
    bool hung = false;
};
Player* current = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!current)
        return;
    HWND dialog = OpenDialog();
    if (!dialog) {
        if (++current->idleTicks > MaxWaitTicks)
            current->hung = true;  // nothing to drive; the modal loop ended or never showed
        return;
    }
    if (current->next < current->steps.size()) {
        current->idleTicks = 0;
        Step step = current->steps[current->next++];
        step(dialog);
        return;
    }
    if (++current->idleTicks > GraceTicks) {
        current->hung = true;
        DestroyWindow(dialog);  // ends the modal loop: its window is gone
    }
}

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    std::string text;
    std::string className;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    // The first in the movie's order: the lowest control id.
    if (lstrcmpiA(className, search->className.c_str()) == 0 && Text(window) == search->text &&
        (!search->found || GetDlgCtrlID(window) < GetDlgCtrlID(search->found)))
        search->found = window;
    return TRUE;
}

struct ButtonList {
    std::vector<std::pair<int, std::string>> buttons;
};

BOOL CALLBACK CollectButtons(HWND window, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    LONG_PTR kind = style & BS_TYPEMASK;
    if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(window) &&
        (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)) {
        RECT rect;
        GetWindowRect(window, &rect);
        reinterpret_cast<ButtonList*>(lParam)->buttons.emplace_back(rect.left, Text(window));
    }
    return TRUE;
}

}  // namespace

ScriptResult RunScripted(CMovieDialog& dialog, std::vector<Step> steps)
{
    return RunScripted([&dialog] { return dialog.DoModal(); }, std::move(steps));
}

ScriptResult RunScripted(const std::function<INT_PTR()>& run, std::vector<Step> steps)
{
    Player player;
    player.steps = std::move(steps);
    current = &player;
    UINT_PTR timer = SetTimer(nullptr, 0, 1, Tick);
    ScriptResult result;
    result.ending = run();
    KillTimer(nullptr, timer);
    current = nullptr;
    result.stepsRun = player.next;
    result.hung = player.hung;
    return result;
}

HWND OpenDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ThreadProgressWindow()
{
    HWND progress = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (!GetDlgItem(window, IDC_PROGRESS_BAR))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&progress));
    return progress;
}

HWND MovieControl(HWND dialog, const std::string& text, const char* className)
{
    ChildSearch search{text, className};
    HWND host = GetDlgItem(dialog, 1060);
    if (host)
        EnumChildWindows(host, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

struct ChildList {
    std::string text;
    std::string className;
    std::vector<std::pair<int, HWND>> found;
};

BOOL CALLBACK CollectChildren(HWND window, LPARAM lParam)
{
    auto* list = reinterpret_cast<ChildList*>(lParam);
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpiA(className, list->className.c_str()) == 0 && Text(window) == list->text)
        list->found.emplace_back(GetDlgCtrlID(window), window);
    return TRUE;
}

}  // namespace

std::vector<HWND> MovieControls(HWND dialog, const std::string& text, const char* className)
{
    ChildList list{text, className, {}};
    HWND host = GetDlgItem(dialog, 1060);
    if (host)
        EnumChildWindows(host, CollectChildren, reinterpret_cast<LPARAM>(&list));
    std::sort(list.found.begin(), list.found.end());
    std::vector<HWND> windows;
    for (const auto& entry : list.found)
        windows.push_back(entry.second);
    return windows;
}

std::vector<std::string> VisibleMovieButtons(HWND dialog)
{
    ButtonList list;
    HWND host = GetDlgItem(dialog, 1060);
    if (host)
        EnumChildWindows(host, CollectButtons, reinterpret_cast<LPARAM>(&list));
    std::sort(list.buttons.begin(), list.buttons.end());
    std::vector<std::string> texts;
    for (const auto& button : list.buttons)
        texts.push_back(button.second);
    return texts;
}

void Click(HWND button)
{
    SendMessageA(button, BM_CLICK, 0, 0);
}

std::string Text(HWND window)
{
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string Message(HWND dialog)
{
    char text[2048] = "";
    if (!GetDlgItemTextA(dialog, 1101, text, sizeof(text)))
        GetDlgItemTextA(dialog, 0xFFFF, text, sizeof(text));
    return text;
}

bool Visible(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowVisible(item);
}

Installation::Installation()
{
    CreateDirectoryA((folder_ / "Skin").c_str(), nullptr);
    CreateDirectoryA((folder_ / "Lang").c_str(), nullptr);
    Settings::WriteString("AppPath", folder_.Path());
}

void Installation::CopyMovie(const char* name)
{
    std::string source = test::DistFolder() + "\\Skin\\" + name;
    CopyFileA(source.c_str(), (folder_ / "Skin\\" + name).c_str(), FALSE);
}

void Installation::CopyAllMovies()
{
    for (const char* name : {"warnning.swf", "Bigwarn.swf", "progress.swf", "subfolder_options.swf", "aboutAs.swf",
                             "taskName.swf", "VantorShredder.swf", "skin.skn"})
        CopyMovie(name);
}

void Installation::WriteMovie(const char* name, const std::string& text)
{
    test::WriteFileBytes(folder_ / "Skin\\" + name, text);
}

void Installation::CopyEnglishPack()
{
    std::string source = test::DistFolder() + "\\Lang\\English.ini";
    CopyFileA(source.c_str(), (folder_ / "Lang\\English.ini").c_str(), FALSE);
}

namespace {

std::map<HWND, InputRecorder*> inputRecorders;
std::map<HWND, WNDPROC> previousProcs;

LRESULT CALLBACK RecordInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = inputRecorders.find(window);
    if (found != inputRecorders.end()) {
        if (message == WM_KEYDOWN)
            found->second->keysDown.push_back(wParam);
        else if (message == WM_RBUTTONDOWN)
            ++found->second->rightButtons;
        else if (message == WM_CONTEXTMENU)
            ++found->second->contextMenus;
    }
    return CallWindowProcA(previousProcs[window], window, message, wParam, lParam);
}

LRESULT CALLBACK CountHelp(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHRED_HELP) {
        auto* owner = reinterpret_cast<FakeMainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (owner)
            ++owner->helpRequests;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

FakeMainWindow::FakeMainWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountHelp;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NullwrightTestMain";
    RegisterClassA(&windowClass);  // fails harmlessly when a test registered it before
    window_ = CreateWindowExA(0, "NullwrightTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetMainWindow(window_);
}

FakeMainWindow::~FakeMainWindow()
{
    SetMainWindow(nullptr);
    DestroyWindow(window_);
}

InputRecorder::InputRecorder(HWND window) : window_(window)
{
    inputRecorders[window] = this;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordInput)));
    previousProcs[window] = previous_;
}

InputRecorder::~InputRecorder()
{
    if (IsWindow(window_))
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    inputRecorders.erase(window_);
}

}  // namespace uitest
