#include "ui/MovieDialog.h"

#include "common/Settings.h"
#include "ui/MoviePlayer.h"

#include <algorithm>
#include <vector>

namespace {

HWND mainWindow = nullptr;
std::vector<HWND> modelessDialogs;

constexpr long MovieBackground = 15330028;  // E9EAEC

}  // namespace

void SetMainWindow(HWND window)
{
    mainWindow = window;
}

HWND MainWindow()
{
    return mainWindow && IsWindow(mainWindow) ? mainWindow : nullptr;
}

bool SameCommand(const char* a, const std::string& b)
{
    size_t i = 0;
    for (; a[i] != '\0'; ++i) {
        if (i >= b.size())
            return false;
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return i == b.size();
}

CMovieDialog::CMovieDialog(int templateId) : templateId_(templateId) {}

CMovieDialog::~CMovieDialog()
{
    // The derived part is gone already: the window's last messages must not reach it.
    if (window_) {
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), window_),
                              modelessDialogs.end());
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
}

INT_PTR CMovieDialog::DoModal(HWND owner)
{
    if (window_)
        return -1;  // already running
    MoviePlayer::Register();  // a failure shows as a dialog that cannot be created
    if (!owner)
        owner = MainWindow();
    ended_ = false;
    result_ = IDCANCEL;
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window)
        return -1;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);  // returns the previous state, known already
    // A dialog whose set-up ended it is never shown.
    if (!ended_ && window_)
        ShowWindow(window, SW_SHOW);

    while (!ended_ && window_) {
        MSG message;
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the caller's loop must see it too
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateMessage(message))
            continue;
        if (!window_ || !IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // The owner takes the activation back before this window goes.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    DestroyWindow();
    return result_;
}

bool CMovieDialog::Create(HWND parent)
{
    if (window_)
        return false;
    MoviePlayer::Register();
    modeless_ = true;
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window)
        return false;
    modelessDialogs.push_back(window);
    return true;
}

void CMovieDialog::DestroyWindow()
{
    if (window_)
        ::DestroyWindow(window_);  // WM_NCDESTROY forgets the handle
    window_ = nullptr;
}

bool CMovieDialog::PreTranslateMessage(MSG& message)
{
    if (!window_ || !FiltersMovieInput())
        return false;
    HWND host = m_movie.GetSafeHwnd();
    if (!host || (message.hwnd != host && !IsChild(host, message.hwnd)))
        return false;
    switch (message.message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU:
        return true;  // the movie opens no menu of its own
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
        if (message.wParam == VK_APPS) {
            message.wParam = 0;
        } else if (message.wParam == VK_F1) {
            message.wParam = 0;
            if (message.message == WM_KEYDOWN && MainWindow())
                SendMessageA(MainWindow(), WM_SHRED_HELP, 0, 0);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool CMovieDialog::IsModelessDialogMessage(MSG& message)
{
    // A copy: a dialog may be destroyed while it handles the message.
    std::vector<HWND> dialogs = modelessDialogs;
    for (HWND dialog : dialogs) {
        if (!IsWindow(dialog))
            continue;
        if (message.hwnd == dialog || IsChild(dialog, message.hwnd))
            return IsDialogMessageA(dialog, &message) != FALSE;
    }
    return false;
}

void CMovieDialog::LoadMovie(const char* file)
{
    std::string appPath = Settings::ReadAppPath("");
    MovieHost& movie = ActiveMovie();
    movie.SetMovie(appPath + "\\Skin\\" + file);
    movie.SetScale("NoScale");
    movie.SetAlignMode(1);
    movie.SetBackgroundColor(MovieBackground);
}

bool CMovieDialog::MoviePlays() const
{
    return ActiveMovie().GetReadyState() == MoviePlayer::ReadyStateComplete;
}

bool CMovieDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&)
{
    return false;
}

void CMovieDialog::EndDialog(INT_PTR result)
{
    result_ = result;
    ended_ = true;
    if (window_ && !modeless_)
        PostMessageA(window_, WM_NULL, 0, 0);  // wakes the loop if the end came from outside it
}

void CMovieDialog::StartDragging()
{
    ReleaseCapture();  // fails harmlessly when nothing has the capture
    SendMessageA(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CMovieDialog::ShowItem(int id, bool show)
{
    HWND item = GetDlgItem(window_, id);
    if (item)
        ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

void CMovieDialog::UseMovieFont(const int* ids, size_t count)
{
    if (!fallbackFont_) {
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            fallbackFont_.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    }
    if (!fallbackFont_)
        return;  // the template's font stays
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageA(window_, ids[i], WM_SETFONT, reinterpret_cast<WPARAM>(fallbackFont_.Get()), FALSE);
}

HWND CMovieDialog::MovieControl(int id, HWND given) const
{
    HWND host = m_movie.GetSafeHwnd();
    if (!host)
        return nullptr;
    if (given)
        return GetParent(given) == host ? given : nullptr;
    return GetDlgItem(host, id);
}

void CMovieDialog::FinishInit()
{
    if (!MoviePlays()) {
        if (m_movie.GetSafeHwnd())
            ShowWindow(m_movie.GetSafeHwnd(), SW_HIDE);
        ShowFallback();
    }
    // A modeless window is created hidden: taking the focus would activate it early.
    if (modeless_)
        return;
    if (!MoviePlays()) {
        // The template's default button when it shows, else the first control that takes input.
        LRESULT defaultId = SendMessageA(window_, DM_GETDEFID, 0, 0);
        HWND focus = HIWORD(defaultId) == DC_HASDEFID ? GetDlgItem(window_, LOWORD(defaultId)) : nullptr;
        // The dialog itself is not shown yet: the control's own style says whether it shows.
        if (!focus || !(GetWindowLongPtrA(focus, GWL_STYLE) & WS_VISIBLE) || !IsWindowEnabled(focus))
            focus = GetNextDlgTabItem(window_, nullptr, FALSE);
        if (focus)
            SetFocus(focus);
        return;
    }
    HWND button = reinterpret_cast<HWND>(SendMessageA(m_movie.GetSafeHwnd(), MoviePlayer::GetDefaultButton, 0, 0));
    if (button)
        SetFocus(button);
    else
        SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));
}

void CMovieDialog::OnFSCommand(const std::string& command, const std::string& args)
{
    CommandTable table = Commands();
    for (size_t i = 0; i < table.count; ++i) {
        const Command& row = table.rows[i];
        if (row.movieCommand && SameCommand(row.movieCommand, command)) {
            (this->*row.handler)(args);
            return;
        }
    }
}

bool CMovieDialog::OnCommand(int id)
{
    CommandTable table = Commands();
    for (size_t i = 0; i < table.count; ++i) {
        const Command& row = table.rows[i];
        if (row.windowId != 0 && row.windowId == id) {
            (this->*row.handler)(std::string());
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CMovieDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception leaves a dialog procedure: the system's code between it and us knows none. A
    // dialog whose handler failed so is ended as cancelled rather than left in a broken state.
    try {
        return DispatchDialogMessage(window, message, wParam, lParam);
    } catch (...) {
        auto* dialog = reinterpret_cast<CMovieDialog*>(GetWindowLongPtrA(window, DWLP_USER));
        if (dialog)
            dialog->EndDialog(IDCANCEL);
        return FALSE;
    }
}

INT_PTR CMovieDialog::DispatchDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CMovieDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window_ = window;
        dialog->m_movie.Attach(window, MovieHostId);
        dialog->OnInitDialog();
        if (dialog->window_)
            dialog->FinishInit();
        return FALSE;  // the focus has been placed
    }
    auto* dialog = reinterpret_cast<CMovieDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), window),
                              modelessDialogs.end());
        dialog->window_ = nullptr;
        return FALSE;
    }
    return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CMovieDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    if (OnMessage(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_NOTIFY: {
        std::string command, args;
        if (!m_movie.IsFSCommand(reinterpret_cast<const NMHDR*>(lParam), command, args))
            return FALSE;
        OnFSCommand(command, args);
        return TRUE;
    }
    case WM_COMMAND: {
        // Enter on a movie button arrives here from the dialog manager; the movie handles it.
        int id = LOWORD(wParam);
        HWND control = MovieControl(id, reinterpret_cast<HWND>(lParam));
        if (control) {
            SendMessageA(m_movie.GetSafeHwnd(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control));
            return TRUE;
        }
        return OnCommand(id) ? TRUE : FALSE;
    }
    case DM_GETDEFID: {
        if (!MoviePlays())
            return FALSE;
        HWND button = reinterpret_cast<HWND>(SendMessageA(m_movie.GetSafeHwnd(), MoviePlayer::GetDefaultButton, 0, 0));
        if (!button)
            return FALSE;
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, MAKELONG(GetDlgCtrlID(button), DC_HASDEFID));
        return TRUE;
    }
    case WM_SETTEXT:
        // The caption changes after this returns; the movie may show it.
        if (m_movie.GetSafeHwnd())
            PostMessageA(m_movie.GetSafeHwnd(), MoviePlayer::CaptionChanged, 0, 0);
        return FALSE;
    case WM_HELP:
        return OnHelpInfo();
    case WM_CLOSE:
        return OnCommand(IDCANCEL) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}
