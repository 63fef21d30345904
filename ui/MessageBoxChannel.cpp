#include "ui/MessageBoxChannel.h"

#include <commctrl.h>

namespace {

// A plain progress window until the movie's progress dialog takes its place: three lines, a
// bar and a Cancel button that sets the run's stop request.
const char ProgressClass[] = "VantorShredderPlainProgress";
const int FirstLineId = 101;
const int BarId = 104;
const long BarSteps = 10000;

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
        if (int* stopRequest = reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            *stopRequest = 1;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class PlainProgress : public ProgressView {
public:
    explicit PlainProgress(HWND window) : window_(window) {}
    ~PlainProgress() override { DestroyWindow(window_); }
    PlainProgress(const PlainProgress&) = delete;
    PlainProgress& operator=(const PlainProgress&) = delete;

    void ShowAndEnable() override
    {
        ShowWindow(window_, SW_SHOWNOACTIVATE);  // returns the previous visibility, not a failure
        EnableWindow(window_, TRUE);
    }
    void SetLine(int line, const std::string& text) override
    {
        if (line >= 1 && line <= 3)
            SetDlgItemTextA(window_, FirstLineId + line - 1, text.c_str());
    }
    void SetCaption(const std::string& text) override { SetWindowTextA(window_, text.c_str()); }
    void SetRange(long long maximum) override
    {
        maximum_ = maximum;
        SendDlgItemMessageA(window_, BarId, PBM_SETRANGE32, 0, BarSteps);
    }
    void SetPosition(long long position) override
    {
        long step = maximum_ > 0 ? static_cast<long>(position * BarSteps / maximum_) : 0;
        SendDlgItemMessageA(window_, BarId, PBM_SETPOS, step, 0);
    }
    void Repaint() override { UpdateWindow(window_); }

private:
    HWND window_;
    long long maximum_ = 0;
};

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int id, int x, int y, int width,
                 int height)
{
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int MessageBoxChannel::Ask(int style, const std::string& text, const std::string& title, bool)
{
    UINT buttons = MB_OK | MB_ICONINFORMATION;
    switch (style) {
    case StyleGoOnQuestion:
    case StyleContinueStop:
    case StyleConfirm: buttons = MB_OKCANCEL | MB_ICONWARNING; break;
    case StyleYesNoCancel: buttons = MB_YESNOCANCEL | MB_ICONQUESTION; break;
    case StyleYesNo: buttons = MB_YESNO | MB_ICONQUESTION; break;
    case StyleError: buttons = MB_OK | MB_ICONWARNING; break;
    }
    switch (MessageBoxA(nullptr, text.c_str(), title.c_str(), buttons | MB_SETFOREGROUND)) {
    case IDOK:
    case IDYES: return AnswerPositive;
    case IDNO: return AnswerNo;
    default: return AnswerCancel;
    }
}

void MessageBoxChannel::Alert(const std::string& text, const std::string& title)
{
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

std::unique_ptr<ProgressView> MessageBoxChannel::OpenProgress(HWND parent, int* stopRequest)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProgressProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ProgressClass;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    HWND window = CreateWindowExA(0, ProgressClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 420, 170, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return nullptr;
    auto progress = std::make_unique<PlainProgress>(window);
    for (int line = 0; line < 3; ++line) {
        if (!CreateChild(window, "STATIC", "", SS_LEFTNOWORDWRAP, FirstLineId + line, 10, 10 + 20 * line, 390, 18))
            return nullptr;
    }
    if (!CreateChild(window, PROGRESS_CLASSA, "", 0, BarId, 10, 72, 390, 16) ||
        !CreateChild(window, "BUTTON", "Cancel", BS_PUSHBUTTON, IDCANCEL, 320, 98, 80, 24))
        return nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(stopRequest));
    return progress;
}

void MessageBoxChannel::PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
