#include "ui/WarningDlg.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/MovieDialog.h"
#include "ui/resource.h"

#include <memory>
#include <new>

namespace {

Answer lastAnswer = Answer::Cancel;

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
    {
        AutoWindowDC dc(edit);
        if (dc) {
            AutoSelectObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
            TEXTMETRICA metrics;
            if (GetTextMetricsA(dc.Get(), &metrics))
                lineHeight = metrics.tmHeight;
        }
    }
    LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    ShowScrollBar(edit, SB_VERT, lineHeight <= 0 || lines * lineHeight > format.bottom - format.top);
}

class CWarningDlg : public CMovieDialog {
public:
    CWarningDlg(WarningStyle style, const std::string& message, const std::string& title)
        : CWarningDlg(IDD_WARNING, "warnning.swf", style, message, title)
    {
    }

protected:
    CWarningDlg(int templateId, const char* movie, WarningStyle style, const std::string& message,
                const std::string& title)
        : CMovieDialog(templateId), movie_(movie), style_(style), message_(message), title_(title)
    {
    }

    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {"ID_FS_OK", IDOK, On(&CWarningDlg::OnPositive)},
            {"ID_FS_yes", 0, On(&CWarningDlg::OnPositive)},
            {"ID_FS_Continue", 0, On(&CWarningDlg::OnPositive)},
            {"ID_FS_cancel", IDCANCEL, On(&CWarningDlg::OnCancel)},
            {"ID_FS_no", IDC_WARNING_NO, On(&CWarningDlg::OnNo)},
            {"IDC_FS_Drag", 0, On(&CWarningDlg::OnDrag)},
        };
        return Table(commands);
    }
    void OnInitDialog() override;
    void ShowFallback() override;

    void OnPositive(const std::string&)
    {
        lastAnswer = Answer::Positive;
        EndDialog(IDOK);
    }
    void OnNo(const std::string&)
    {
        lastAnswer = Answer::No;
        EndDialog(IDCANCEL);
    }
    void OnCancel(const std::string&)
    {
        lastAnswer = Answer::Cancel;
        EndDialog(IDCANCEL);
    }

private:
    const char* movie_;
    WarningStyle style_;
    std::string message_;
    std::string title_;
};

class CBigWarningDlg : public CWarningDlg {
public:
    CBigWarningDlg(WarningStyle style, const std::string& message, const std::string& title)
        : CWarningDlg(IDD_BIG_WARNING, "Bigwarn.swf", style, message, title)
    {
    }

protected:
    // The same as the warning dialog's, without "ID_FS_Continue".
    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {"ID_FS_OK", IDOK, On(&CBigWarningDlg::OnPositive)},
            {"ID_FS_yes", 0, On(&CBigWarningDlg::OnPositive)},
            {"ID_FS_cancel", IDCANCEL, On(&CBigWarningDlg::OnCancel)},
            {"ID_FS_no", IDC_WARNING_NO, On(&CBigWarningDlg::OnNo)},
            {"IDC_FS_Drag", 0, On(&CBigWarningDlg::OnDrag)},
        };
        return Table(commands);
    }
};

void CWarningDlg::OnInitDialog()
{
    // The window has no caption bar, but its name is what the task switcher and screen readers
    // announce; the hidden texts carry the message for the same readers.
    SetWindowTextA(GetSafeHwnd(), title_.c_str());
    SetDlgItemTextA(GetSafeHwnd(), IDC_WARNING_TITLE, title_.c_str());
    SetDlgItemTextA(GetSafeHwnd(), IDC_WARNING_TEXT, message_.c_str());
    LoadMovie(movie_);
    m_movie.GotoFrame(static_cast<long>(style_));
    m_movie.SetVariable("_root.massage", message_);
    m_movie.SetVariable("_root.title", title_);
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
    int number = static_cast<int>(style_);
    size_t style = number >= 0 && number <= static_cast<int>(WarningStyle::YesNo) ? static_cast<size_t>(number) : 0;
    const Button* buttons = choices[style];
    const size_t count = counts[style];

    HWND window = GetSafeHwnd();
    SetDlgItemTextA(window, IDC_WARNING_TITLE, title_.c_str());
    std::string text;
    for (char c : message_) {
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

}  // namespace

Answer ShowWarning(HWND owner, WarningStyle style, const std::string& text, const std::string& title, DialogSize size)
{
    std::unique_ptr<CWarningDlg> dialog(size == DialogSize::Big
                                            ? new (std::nothrow) CBigWarningDlg(style, text, title)
                                            : new (std::nothrow) CWarningDlg(style, text, title));
    if (!dialog)
        return Answer::Cancel;
    // A question nobody could see is not answered yes: the earlier answer must not stand for it.
    if (dialog->DoModal(owner) == -1)
        return Answer::Cancel;
    return lastAnswer;
}

Answer LastWarningAnswer()
{
    return lastAnswer;
}
