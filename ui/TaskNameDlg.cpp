#include "ui/TaskNameDlg.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "ui/MovieDialog.h"
#include "ui/WarningDlg.h"
#include "ui/resource.h"

#include <memory>
#include <new>

namespace {

class CTaskNameDlg : public CMovieDialog {
public:
    CTaskNameDlg(ShredContext& context, TaskNameBook& names)
        : CMovieDialog(IDD_TASK_NAME), context_(context), names_(names)
    {
    }

    // The name entered, read by the opener after an OK ending.
    std::string m_taskName;

protected:
    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {"ID_FS_ok", IDOK, On(&CTaskNameDlg::OnOK)},
            {"ID_FS_cancel", IDCANCEL, On(&CTaskNameDlg::OnCancel)},
            {"IDC_FS_Drag", 0, On(&CTaskNameDlg::OnDrag)},
        };
        return Table(commands);
    }

    void OnInitDialog() override
    {
        HWND window = GetSafeHwnd();
        SetWindowTextA(window, context_.title.c_str());
        std::string language = Settings::ReadString("Language", "English");
        LanguagePack::SetItemText(language, 9087, IDC_TASK_NAME_LABEL, "Name of the new task:", window);
        LanguagePack::SetItemText(language, 9080, IDOK, "OK", window);
        LanguagePack::SetItemText(language, 9081, IDCANCEL, "Cancel", window);
        LoadMovie("taskName.swf");
    }

    void ShowFallback() override
    {
        fallback_ = true;
        const int shown[] = {IDC_TASK_NAME_LABEL, IDC_TASK_NAME_EDIT, IDOK, IDCANCEL};
        UseMovieFont(shown, sizeof(shown) / sizeof(shown[0]));
        for (int id : shown)
            ShowItem(id, true);
    }

private:
    void OnOK(const std::string&)
    {
        m_taskName = fallback_ ? ItemText(IDC_TASK_NAME_EDIT) : ActiveMovie().GetVariable("_root.taskName");
        std::string title = context_.title;
        if (m_taskName.empty()) {
            // Both, one after the other: the plain box is seen even where the movie is not.
            std::string text = context_.LookupText(9057);
            MessageBoxA(GetSafeHwnd(), text.c_str(), title.c_str(), MB_OK);  // only OK to press
            ShowWarning(GetSafeHwnd(), WarningStyle::Notice, text, title);
            return;
        }
        if (names_.IsTaken(m_taskName)) {
            ShowWarning(GetSafeHwnd(), WarningStyle::Notice, context_.LookupText(9016), title);
            return;
        }
        EndDialog(IDOK);
    }
    void OnCancel(const std::string&) { EndDialog(IDCANCEL); }

    std::string ItemText(int id) const
    {
        char text[512] = "";
        GetDlgItemTextA(GetSafeHwnd(), id, text, sizeof(text));
        return text;
    }

    ShredContext& context_;
    TaskNameBook& names_;
    bool fallback_ = false;
};

}  // namespace

bool AskTaskName(HWND owner, ShredContext& context, TaskNameBook& names, std::string& name)
{
    std::unique_ptr<CTaskNameDlg> dialog(new (std::nothrow) CTaskNameDlg(context, names));
    if (!dialog || dialog->DoModal(owner) != IDOK)
        return false;
    name = dialog->m_taskName;
    return true;
}
