#include "ui/SubfolderOptionsDlg.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/MovieDialog.h"
#include "ui/resource.h"

#include <memory>
#include <new>

#include <shellapi.h>

namespace {

const int contentsRadios[] = {IDC_CONTENTS_NEVER, IDC_CONTENTS_PROMPT, IDC_CONTENTS_ALWAYS};
const int removalRadios[] = {IDC_REMOVE_NEVER, IDC_REMOVE_PROMPT, IDC_REMOVE_ALWAYS};

// The radio of a policy; values outside 0..2 check none.
void CheckPolicy(HWND window, const int (&radios)[3], int policy)
{
    for (int i = 0; i < 3; ++i)
        CheckDlgButton(window, radios[i], i == policy ? BST_CHECKED : BST_UNCHECKED);
}

// The checked radio's policy, or `fallback` when none is checked.
std::string CheckedPolicy(HWND window, const int (&radios)[3], const std::string& fallback)
{
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(window, radios[i]) == BST_CHECKED)
            return std::to_string(i);
    return fallback;
}

class CSubfolderOptionsDlg : public CMovieDialog {
public:
    explicit CSubfolderOptionsDlg(const SubfolderPolicies& policies)
        : CMovieDialog(IDD_SUBFOLDER_OPTIONS), m_contentsPolicy(policies.contents), m_removalPolicy(policies.removal)
    {
    }

    // The policies and their text forms, which carry the values to and from the movie.
    int m_contentsPolicy;
    int m_removalPolicy;
    std::string m_contentsText = "0";
    std::string m_removalText = "0";

protected:
    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {"ID_FS_OK", 0, On(&CSubfolderOptionsDlg::OnMovieOK)},
            {"ID_FS_Cancel", IDCANCEL, On(&CSubfolderOptionsDlg::OnCancel)},
            {"IDC_FS_Drag", 0, On(&CSubfolderOptionsDlg::OnDrag)},
            {nullptr, IDOK, On(&CSubfolderOptionsDlg::OnOK)},
            {nullptr, IDC_HELP_BUTTON, On(&CSubfolderOptionsDlg::OnHelp)},
            {nullptr, IDC_CONTENTS_NEVER, On(&CSubfolderOptionsDlg::OnRadio)},
            {nullptr, IDC_CONTENTS_PROMPT, On(&CSubfolderOptionsDlg::OnRadio)},
            {nullptr, IDC_CONTENTS_ALWAYS, On(&CSubfolderOptionsDlg::OnRadio)},
        };
        return Table(commands);
    }
    void OnInitDialog() override;
    BOOL OnHelpInfo() override;
    void ShowFallback() override;

private:
    void OnMovieOK(const std::string&);
    void OnOK(const std::string&);
    void OnCancel(const std::string&) { EndDialog(IDCANCEL); }
    void OnHelp(const std::string&) { OpenHelpPage(); }
    void OnRadio(const std::string&) {}
    void OpenHelpPage();

    bool fallback_ = false;
};

}  // namespace

int PolicyFromText(const std::string& text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        if (value > 100000)
            break;  // far beyond every policy; stops the number from overflowing
        value = value * 10 + (c - '0');
    }
    return value;
}

bool EditSubfolderPolicies(HWND owner, SubfolderPolicies& policies)
{
    std::unique_ptr<CSubfolderOptionsDlg> dialog(new (std::nothrow) CSubfolderOptionsDlg(policies));
    if (!dialog || dialog->DoModal(owner) != IDOK)
        return false;
    policies.contents = PolicyFromText(dialog->m_contentsText);
    policies.removal = PolicyFromText(dialog->m_removalText);
    return true;
}

void CSubfolderOptionsDlg::OnInitDialog()
{
    HWND window = GetSafeHwnd();
    std::string language = Settings::ReadString("Language", "English");
    std::string title = LanguagePack::ReadCaption(language, 9208, "Sub Folder Options", LanguagePack::CaptionBufferSize);
    SetWindowTextA(window, title.c_str());
    struct Text {
        int key;
        int id;
        const char* text;
    } texts[] = {
        {9700, IDC_CONTENTS_GROUP, "&Shred contents of subfolders"},
        {9701, IDC_CONTENTS_NEVER, "Never"},
        {9702, IDC_CONTENTS_PROMPT, "Prompt"},
        {9703, IDC_CONTENTS_ALWAYS, "Always"},
        {9704, IDC_REMOVE_GROUP, "&Remove subfolders after shredding"},
        {9701, IDC_REMOVE_NEVER, "Never"},
        {9702, IDC_REMOVE_PROMPT, "Prompt"},
        {9703, IDC_REMOVE_ALWAYS, "Always"},
        {9705, IDCANCEL, "Cancel"},
        {9706, IDOK, "OK"},
        {9609, IDC_HELP_BUTTON, "Help"},
    };
    for (const Text& text : texts)
        LanguagePack::SetItemText(language, text.key, text.id, text.text, window);

    LoadMovie("subfolder_options.swf");
    m_contentsText = std::to_string(m_contentsPolicy);
    m_removalText = std::to_string(m_removalPolicy);
    m_movie.SetVariable("_root.shredContent", m_contentsText);
    m_movie.SetVariable("_root.removeSubfoler", m_removalText);
}


void CSubfolderOptionsDlg::OnMovieOK(const std::string&)
{
    m_contentsText = m_movie.GetVariable("_root.shredContent");
    m_removalText = m_movie.GetVariable("_root.removeSubfoler");
    EndDialog(IDOK);
}

void CSubfolderOptionsDlg::OnOK(const std::string&)
{
    // With the movie playing, the window's own OK keeps the values the dialog started with; when
    // the dialog shows its own radio buttons instead, they hold the user's choice.
    if (fallback_) {
        m_contentsText = CheckedPolicy(GetSafeHwnd(), contentsRadios, m_contentsText);
        m_removalText = CheckedPolicy(GetSafeHwnd(), removalRadios, m_removalText);
    }
    EndDialog(IDOK);
}


BOOL CSubfolderOptionsDlg::OnHelpInfo()
{
    OpenHelpPage();
    return FALSE;
}

void CSubfolderOptionsDlg::OpenHelpPage()
{
    std::string page = Settings::ReadAppPath("") + "\\HLP\\ShredHlp.html";
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;  // a missing page or browser is not reported
    info.hwnd = GetSafeHwnd();
    info.lpVerb = "open";
    info.lpFile = page.c_str();
    info.nShow = SW_SHOWMAXIMIZED;
    ShellExecuteExA(&info);
}

void CSubfolderOptionsDlg::ShowFallback()
{
    fallback_ = true;
    HWND window = GetSafeHwnd();
    CheckPolicy(window, contentsRadios, m_contentsPolicy);
    CheckPolicy(window, removalRadios, m_removalPolicy);
    const int shown[] = {IDC_CONTENTS_GROUP, IDC_CONTENTS_NEVER, IDC_CONTENTS_PROMPT, IDC_CONTENTS_ALWAYS,
                         IDC_REMOVE_GROUP, IDC_REMOVE_NEVER, IDC_REMOVE_PROMPT, IDC_REMOVE_ALWAYS,
                         IDOK, IDC_HELP_BUTTON, IDCANCEL};
    UseMovieFont(shown, sizeof(shown) / sizeof(shown[0]));
    for (int id : shown)
        ShowItem(id, true);
}
