#include "ui/ProgressDlg.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

namespace {

constexpr UINT_PTR ProgressTimer = 1;

}  // namespace

CProgressDlg::CProgressDlg(int* stopRequest) : CMovieDialog(IDD_PROGRESS), stopRequest_(stopRequest)
{
    // Nothing has been shown yet, so the first change of each kind is shown at once.
    DWORD longAgo = GetTickCount() - UpdateInterval;
    for (DWORD& shownAt : lineShownAt_)
        shownAt = longAgo;
    positionShownAt_ = longAgo;
    repaintedAt_ = longAgo;
}

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

bool CProgressDlg::Due(DWORD shownAt)
{
    return GetTickCount() - shownAt >= UpdateInterval;  // unsigned: right across the counter's wrap
}

void CProgressDlg::SetLine(int line, const std::string& text)
{
    if (line < 1 || line > 3)
        return;
    int at = line - 1;
    lines_[at] = text;
    if (lines_[at] == shownLines_[at]) {
        lineWaits_[at] = false;
        return;
    }
    if (Due(lineShownAt_[at])) {
        ShowLine(line);
        return;
    }
    lineWaits_[at] = true;
    WaitForTimer();
}

void CProgressDlg::ShowLine(int line)
{
    int at = line - 1;
    m_movie.SetVariable("_root.states" + std::to_string(line), lines_[at]);
    SetDlgItemTextA(GetSafeHwnd(), IDC_PROGRESS_LINE1 + at, lines_[at].c_str());
    shownLines_[at] = lines_[at];
    lineShownAt_[at] = GetTickCount();
    lineWaits_[at] = false;
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
    barMaximum_ = static_cast<int>(maximum / divisor_);
    SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, barMaximum_);
    // The bar keeps its position within the new range; the next position is shown at once.
    shownPosition_ = -1;
}

void CProgressDlg::SetPosition(long long position)
{
    if (position < 0)
        position = 0;
    position_ = static_cast<int>(std::min<long long>(position / divisor_, INT_MAX));
    if (position_ == shownPosition_)
        return;
    // The first position of a range and its end are shown at once: they are what a glance sees.
    if (shownPosition_ < 0 || position_ >= barMaximum_ || Due(positionShownAt_)) {
        ShowPosition();
        return;
    }
    WaitForTimer();
}

void CProgressDlg::ShowPosition()
{
    SendDlgItemMessageA(GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    shownPosition_ = position_;
    positionShownAt_ = GetTickCount();
}

void CProgressDlg::Repaint()
{
    if (Due(repaintedAt_)) {
        RepaintNow();
        return;
    }
    repaintWaits_ = true;
    WaitForTimer();
}

void CProgressDlg::RepaintNow()
{
    RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    repaintedAt_ = GetTickCount();
    repaintWaits_ = false;
}

void CProgressDlg::WaitForTimer()
{
    if (timerRuns_)
        return;
    // Without a timer the change waits for the next report instead; nothing is lost but time.
    timerRuns_ = SetTimer(GetSafeHwnd(), ProgressTimer, UpdateInterval, nullptr) != 0;
}

void CProgressDlg::ShowWaiting()
{
    for (int line = 1; line <= 3; ++line) {
        if (lineWaits_[line - 1])
            ShowLine(line);
    }
    if (position_ != shownPosition_ && shownPosition_ >= 0)
        ShowPosition();
    if (repaintWaits_)
        RepaintNow();
}

bool CProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    if (message != WM_TIMER || wParam != ProgressTimer)
        return false;
    KillTimer(GetSafeHwnd(), ProgressTimer);  // started again by the next change that must wait
    timerRuns_ = false;
    ShowWaiting();
    result = TRUE;
    return true;
}
