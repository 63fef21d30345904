#include "ui/ProgressDlg.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/resource.h"

#include <commctrl.h>

#include <climits>

CProgressDlg::CProgressDlg(int* stopRequest) : CMovieDialog(IDD_PROGRESS), stopRequest_(stopRequest) {}

void CProgressDlg::OnInitDialog()
{
    std::string language = Settings::ReadString("Language", "English");
    std::string caption = LanguagePack::ReadCaption(language, 9900, "Shredding.....", LanguagePack::CaptionBufferSize);
    SetWindowTextA(GetSafeHwnd(), caption.c_str());
    LanguagePack::SetItemText(language, 9901, IDCANCEL, "Cancel", GetSafeHwnd());
    LoadMovie("progress.swf");
}

CMovieDialog::CommandTable CProgressDlg::Commands() const
{
    static const Command commands[] = {
        {"ID_FS_cancel", IDCANCEL, On(&CProgressDlg::OnCancel)},
        {"IDC_FS_Drag", 0, On(&CProgressDlg::OnDrag)},
        {nullptr, IDOK, On(&CProgressDlg::OnNothing)},
    };
    return Table(commands);
}

void CProgressDlg::OnCancel(const std::string&)
{
    if (stopRequest_)
        *stopRequest_ = 1;
    EnableWindow(GetDlgItem(GetSafeHwnd(), IDCANCEL), FALSE);  // the result is the former state
}

void CProgressDlg::ShowFallback()
{
    const int shown[] = {IDC_PROGRESS_LINE1, IDC_PROGRESS_LINE2, IDC_PROGRESS_LINE3, IDCANCEL};
    UseMovieFont(shown, sizeof(shown) / sizeof(shown[0]));
    for (int id : shown)
        ShowItem(id, true);
}

void CProgressDlg::ShowAndEnable()
{
    ShowWindow(GetSafeHwnd(), SW_SHOWNORMAL);
    EnableWindow(GetSafeHwnd(), TRUE);
}

void CProgressDlg::SetLine(int line, const std::string& text)
{
    if (line < 1 || line > 3)
        return;
    m_movie.SetVariable("_root.states" + std::to_string(line), text);
    SetDlgItemTextA(GetSafeHwnd(), IDC_PROGRESS_LINE1 + line - 1, text.c_str());
}

void CProgressDlg::SetCaption(const std::string& text)
{
    SetWindowTextA(GetSafeHwnd(), text.c_str());
}

void CProgressDlg::SetRange(long long maximum)
{
    if (maximum < 0)
        maximum = 0;
    divisor_ = 1;
    while (maximum / divisor_ > INT_MAX)
        divisor_ *= 2;
    SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum / divisor_));
}

void CProgressDlg::SetPosition(long long position)
{
    if (position < 0)
        position = 0;
    SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position / divisor_), 0);
}

void CProgressDlg::Repaint()
{
    RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
