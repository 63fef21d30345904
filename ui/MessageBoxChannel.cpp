#include "ui/MessageBoxChannel.h"

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

std::unique_ptr<ProgressView> MessageBoxChannel::OpenProgress(HWND, int*)
{
    return nullptr;  // no progress window without the dialogs
}

void MessageBoxChannel::PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
