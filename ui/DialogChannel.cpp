#include "ui/DialogChannel.h"

#include "ui/MovieDialog.h"
#include "ui/ProgressDlg.h"
#include "ui/ShellNoticeDlg.h"
#include "ui/WarningDlg.h"

DialogChannel::DialogChannel(DWORD(WINAPI* clock)()) : clock_(clock), lastDrain_(clock() - DrainInterval) {}

Answer DialogChannel::Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size)
{
    return ShowWarning(nullptr, style, text, title, size);
}

bool DialogChannel::ShowNotice(NoticeMode, const std::string& text, const std::string& title, bool* dontShowAgain)
{
    return ShowShellNotice(nullptr, text, title, dontShowAgain);
}

void DialogChannel::Alert(const std::string& text, const std::string& title)
{
    MessageBoxA(MainWindow(), text.c_str(), title.c_str(), MB_OK | MB_ICONSTOP);  // nothing to do on failure
}

std::unique_ptr<ProgressView> DialogChannel::OpenProgress(HWND parent, int* stopRequest)
{
    std::unique_ptr<CProgressDlg> window(new (std::nothrow) CProgressDlg(stopRequest));
    if (!window || !window->Create(parent))
        return nullptr;
    return window;
}

void DialogChannel::PumpMessages()
{
    DWORD now = clock_();
    if (now - lastDrain_ < DrainInterval)  // unsigned: right across the counter's wrap
        return;
    lastDrain_ = now;
    DrainQueue();
}

void DialogChannel::DrainQueue()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageA(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));  // leave the quit for the main loop
            return;
        }
        if (!CMovieDialog::IsModelessDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
