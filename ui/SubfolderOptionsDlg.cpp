#include "ui/SubfolderOptionsDlg.h"

#include "app/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/resource.h"

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

}  // namespace

CSubfolderOptionsDlg::CSubfolderOptionsDlg() : CMovieDialog(IDD_SUBFOLDER_OPTIONS) {}

int CSubfolderOptionsDlg::PolicyFromText(const std::string& text)
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

void CSubfolderOptionsDlg::OnFSCommand(const std::string& command, const std::string& args)
{
    static const MovieCommand<CSubfolderOptionsDlg> table[] = {
        {"ID_FS_OK", &CSubfolderOptionsDlg::OnMovieOK},
        {"ID_FS_Cancel", &CSubfolderOptionsDlg::OnMovieCancel},
        {"IDC_FS_Drag", &CSubfolderOptionsDlg::OnDrag},
    };
    Dispatch(this, table, command, args);
}

bool CSubfolderOptionsDlg::OnCommand(int id, int)
{
    static const WindowCommand<CSubfolderOptionsDlg> table[] = {
        {IDOK, &CSubfolderOptionsDlg::OnOK},
        {IDCANCEL, &CSubfolderOptionsDlg::OnCancel},
        {IDC_HELP_BUTTON, &CSubfolderOptionsDlg::OnHelp},
        {IDC_CONTENTS_NEVER, &CSubfolderOptionsDlg::OnRadio},
        {IDC_CONTENTS_PROMPT, &CSubfolderOptionsDlg::OnRadio},
        {IDC_CONTENTS_ALWAYS, &CSubfolderOptionsDlg::OnRadio},
    };
    return Dispatch(this, table, id);
}

void CSubfolderOptionsDlg::OnMovieOK(const std::string&)
{
    m_contentsText = m_movie.GetVariable("_root.shredContent");
    m_removalText = m_movie.GetVariable("_root.removeSubfoler");
    EndDialog(IDOK);
}

void CSubfolderOptionsDlg::OnOK()
{
    // With the movie playing, the window's own OK keeps the values the dialog started with; when
    // the dialog shows its own radio buttons instead, they hold the user's choice.
    if (fallback_) {
        m_contentsText = CheckedPolicy(GetSafeHwnd(), contentsRadios, m_contentsText);
        m_removalText = CheckedPolicy(GetSafeHwnd(), removalRadios, m_removalText);
    }
    EndDialog(IDOK);
}

void CSubfolderOptionsDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CSubfolderOptionsDlg::OnHelp()
{
    OpenHelpPage();
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
