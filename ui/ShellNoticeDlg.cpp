#include "ui/ShellNoticeDlg.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/MovieDialog.h"
#include "ui/resource.h"

#include <memory>
#include <new>

namespace {

const char* const OldShellDefault =
    "Your system's copy of SHELL32.DLL is version 4.70 or older. As a result, the Shred Recycle Bin command "
    "will be unavailable. You can remedy this situation by installing Internet Explorer 4.0 or later on your "
    "system.";

// A movie dialog without a movie: its template's own controls are all it shows.
class CShellNoticeDlg : public CMovieDialog {
public:
    CShellNoticeDlg(const std::string& text, const std::string& title)
        : CMovieDialog(IDD_SHELL_NOTICE), text_(text), title_(title)
    {
    }

    int m_dontShowAgain = 0;

protected:
    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {nullptr, IDOK, On(&CShellNoticeDlg::OnOK)},
            {nullptr, IDCANCEL, On(&CShellNoticeDlg::OnCancel)},
        };
        return Table(commands);
    }

    void OnInitDialog() override
    {
        HWND window = GetSafeHwnd();
        CheckDlgButton(window, IDC_NOTICE_DONT_SHOW, m_dontShowAgain ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemTextA(window, IDC_NOTICE_TEXT, text_.c_str());
        SetWindowTextA(window, title_.c_str());
        std::string language = Settings::ReadString("Language", "English");
        LanguagePack::SetItemText(language, 11001, IDC_NOTICE_DONT_SHOW, "&Don't show me this again.", window);
        LanguagePack::SetItemText(language, 11002, IDOK, "OK", window);
        const int controls[] = {IDC_NOTICE_TEXT, IDC_NOTICE_DONT_SHOW, IDOK};
        UseMovieFont(controls, sizeof(controls) / sizeof(controls[0]));
    }

    // Its controls show already.
    void ShowFallback() override {}
    bool FiltersMovieInput() const override { return false; }

private:
    void OnOK(const std::string&)
    {
        m_dontShowAgain = IsDlgButtonChecked(GetSafeHwnd(), IDC_NOTICE_DONT_SHOW) == BST_CHECKED ? 1 : 0;
        EndDialog(IDOK);
    }
    void OnCancel(const std::string&) { EndDialog(IDCANCEL); }

    std::string text_;
    std::string title_;
};

}  // namespace

bool ShowShellNotice(HWND owner, const std::string& text, const std::string& title, bool* dontShowAgain)
{
    *dontShowAgain = false;
    std::unique_ptr<CShellNoticeDlg> dialog(new (std::nothrow) CShellNoticeDlg(text, title));
    if (!dialog || dialog->DoModal(owner) != IDOK)
        return false;
    *dontShowAgain = dialog->m_dontShowAgain != 0;
    return true;
}

std::string OldShellNoticeText(const std::string& appPath, const std::string& language)
{
    return LanguagePack::ReadText(LanguagePack::PackPath(appPath, language), 11000, OldShellDefault,
                                  LanguagePack::ItemBufferSize);
}
