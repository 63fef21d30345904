#include "ui/WarningDlg.h"

#include "app/Settings.h"
#include "engine/UserChannel.h"
#include "lang/LanguagePack.h"
#include "ui/resource.h"


namespace {

int answer = AnswerCancel;

std::string Caption(int key, const char* defaultText)
{
    return LanguagePack::ReadCaption(Settings::ReadString("Language", "English"), key, defaultText,
                                     LanguagePack::CaptionBufferSize);
}

// A message that fits needs no scroll bar.
void ShowScrollBarWhenLong(HWND edit)
{
    RECT format = {};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int lineHeight = 0;
    HDC dc = GetDC(edit);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics))
            lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
    }
    LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    ShowScrollBar(edit, SB_VERT, lineHeight <= 0 || lines * lineHeight > format.bottom - format.top);
}

}  // namespace

CWarningDlg::CWarningDlg() : CWarningDlg(IDD_WARNING, "warnning.swf") {}

CWarningDlg::CWarningDlg(int templateId, const char* movie) : CMovieDialog(templateId), movie_(movie) {}

int CWarningDlg::Answer()
{
    return answer;
}

void CWarningDlg::OnInitDialog()
{
    // The window has no caption bar, but its name is what the task switcher and screen readers
    // announce; the hidden texts carry the message for the same readers.
    SetWindowTextA(GetSafeHwnd(), m_title.c_str());
    SetDlgItemTextA(GetSafeHwnd(), IDC_WARNING_TITLE, m_title.c_str());
    SetDlgItemTextA(GetSafeHwnd(), IDC_WARNING_TEXT, m_message.c_str());
    LoadMovie(movie_);
    m_movie.GotoFrame(m_style);
    m_movie.SetVariable("_root.massage", m_message);
    m_movie.SetVariable("_root.title", m_title);
}

void CWarningDlg::OnFSCommand(const std::string& command, const std::string& args)
{
    static const MovieCommand<CWarningDlg> table[] = {
        {"ID_FS_OK", &CWarningDlg::OnPositiveCommand},
        {"ID_FS_yes", &CWarningDlg::OnPositiveCommand},
        {"ID_FS_Continue", &CWarningDlg::OnPositiveCommand},
        {"ID_FS_cancel", &CWarningDlg::OnCancelCommand},
        {"ID_FS_no", &CWarningDlg::OnNoCommand},
        {"IDC_FS_Drag", &CWarningDlg::OnDrag},
    };
    Dispatch(this, table, command, args);
}

bool CWarningDlg::OnCommand(int id, int)
{
    static const WindowCommand<CWarningDlg> table[] = {
        {IDOK, &CWarningDlg::OnPositive},
        {IDCANCEL, &CWarningDlg::OnCancel},
        {IDC_WARNING_NO, &CWarningDlg::OnNo},
    };
    return Dispatch(this, table, id);
}

void CWarningDlg::OnPositive()
{
    answer = AnswerPositive;
    EndDialog(IDOK);
}

void CWarningDlg::OnNo()
{
    answer = AnswerNo;
    EndDialog(IDCANCEL);
}

void CWarningDlg::OnCancel()
{
    answer = AnswerCancel;
    EndDialog(IDCANCEL);
}

void CWarningDlg::ShowFallback()
{
    struct Button {
        int id;
        int key;
        const char* text;
    };
    const Button ok = {IDOK, 9080, "OK"}, cancel = {IDCANCEL, 9081, "Cancel"}, yes = {IDOK, 9082, "Yes"},
                 no = {IDC_WARNING_NO, 9083, "No"}, goOn = {IDOK, 9084, "Continue"}, stop = {IDCANCEL, 9085, "Stop"};
    // The buttons each style offers, left to right.
    const Button choices[][3] = {
        {ok}, {goOn, stop}, {ok, cancel}, {yes, no, cancel}, {ok}, {goOn, stop}, {yes, no},
    };
    const size_t counts[] = {1, 2, 2, 3, 1, 2, 2};
    size_t style = m_style >= StyleNotice && m_style <= StyleYesNo ? static_cast<size_t>(m_style) : 0;
    const Button* buttons = choices[style];
    const size_t count = counts[style];

    HWND window = GetSafeHwnd();
    SetDlgItemTextA(window, IDC_WARNING_TITLE, m_title.c_str());
    std::string text;
    for (char c : m_message) {
        if (c == '\n' && (text.empty() || text.back() != '\r'))
            text += '\r';
        text += c;
    }
    const int shown[] = {IDC_WARNING_TITLE, IDC_WARNING_TEXT, IDOK, IDC_WARNING_NO, IDCANCEL};
    UseMovieFont(shown, sizeof(shown) / sizeof(shown[0]));
    SetDlgItemTextA(window, IDC_WARNING_TEXT, text.c_str());
    ShowScrollBarWhenLong(GetDlgItem(window, IDC_WARNING_TEXT));
    ShowItem(IDC_WARNING_TITLE, true);
    ShowItem(IDC_WARNING_TEXT, true);

    // The buttons the style offers, right-aligned in the places of the template's three.
    RECT slot;
    GetWindowRect(GetDlgItem(window, IDCANCEL), &slot);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&slot), 2);
    RECT gap = {0, 0, 4, 0};
    MapDialogRect(window, &gap);
    int width = slot.right - slot.left;
    int x = slot.right - static_cast<int>(count) * (width + gap.right) + gap.right;
    for (size_t i = 0; i < count; ++i) {
        const Button& button = buttons[i];
        HWND control = GetDlgItem(window, button.id);
        SetWindowTextA(control, Caption(button.key, button.text).c_str());
        MoveWindow(control, x, slot.top, width, slot.bottom - slot.top, FALSE);
        ShowWindow(control, SW_SHOW);
        x += width + gap.right;
    }
}

CBigWarningDlg::CBigWarningDlg() : CWarningDlg(IDD_BIG_WARNING, "Bigwarn.swf") {}

void CBigWarningDlg::OnFSCommand(const std::string& command, const std::string& args)
{
    static const MovieCommand<CWarningDlg> table[] = {
        {"ID_FS_OK", &CBigWarningDlg::OnPositiveCommand},
        {"ID_FS_yes", &CBigWarningDlg::OnPositiveCommand},
        {"ID_FS_cancel", &CBigWarningDlg::OnCancelCommand},
        {"ID_FS_no", &CBigWarningDlg::OnNoCommand},
        {"IDC_FS_Drag", &CBigWarningDlg::OnDrag},
    };
    Dispatch<CWarningDlg>(this, table, command, args);
}
