#include "ui/DialogChannel.h"

#include "ui/MovieDialog.h"
#include "ui/ProgressDlg.h"
#include "ui/WarningDlg.h"

#include <new>

int DialogChannel::Ask(int style, const std::string& text, const std::string& title, bool big)
{
    std::unique_ptr<CWarningDlg> dialog(big ? new (std::nothrow) CBigWarningDlg : new (std::nothrow) CWarningDlg);
    if (!dialog)
        return AnswerCancel;
    dialog->m_style = style;
    dialog->m_message = text;
    dialog->m_title = title;
    // A question nobody could see is not answered yes: the earlier answer must not stand for it.
    if (dialog->DoModal() == -1)
        return AnswerCancel;
    return CWarningDlg::Answer();
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
