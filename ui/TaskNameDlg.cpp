#include "ui/TaskNameDlg.h"

#include "common/CodePage.h"
#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "ui/MovieDialog.h"
#include "ui/WarningDlg.h"
#include "ui/resource.h"

#include <cwchar>
#include <memory>
#include <new>

namespace {

// The names the system keeps for its devices; "NAME.job" would open the device, not a file.
const wchar_t* const DeviceNames[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4",
                                      L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
                                      L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};

bool IsDeviceName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (const wchar_t* device : DeviceNames)
        if (_wcsicmp(stem.c_str(), device) == 0)
            return true;
    return false;
}

// The warning that tells why `name` cannot name a task.
std::string FaultText(const ShredContext& context, TaskNameFault fault, const std::string& name)
{
    switch (fault) {
    case TaskNameFault::Characters: return MessageText::ExpandLineBreaks(context.LookupText(9271));
    case TaskNameFault::Device: return MessageText::WithPath(context.LookupText(9273), name);
    case TaskNameFault::TooLong:
        return MessageText::WithNumber(context.LookupText(9272), static_cast<unsigned>(MaxTaskNameLength()));
    default: return MessageText::ExpandLineBreaks(context.LookupText(9057));
    }
}

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
        TaskNameFault fault = CheckTaskName(m_taskName);
        if (fault != TaskNameFault::None) {
            ShowWarning(GetSafeHwnd(), WarningStyle::Notice, FaultText(context_, fault, m_taskName), title);
            return;
        }
        switch (names_.Check(m_taskName)) {
        case TaskNameState::Free: EndDialog(IDOK); return;
        case TaskNameState::Taken:
            ShowWarning(GetSafeHwnd(), WarningStyle::Notice, context_.LookupText(9016), title);
            return;
        case TaskNameState::Unknown: return;  // the book said why; the name may be tried again
        }
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

size_t MaxTaskNameLength()
{
    // The task file is the Windows folder, "\Tasks\", the name and ".job", with its terminator.
    wchar_t windows[MAX_PATH];
    UINT folder = GetWindowsDirectoryW(windows, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH)
        return 0;  // unknown: no name is taken rather than one that does not fit
    const size_t around = std::wcslen(L"\\Tasks\\") + std::wcslen(L".job") + 1;
    return folder + around >= MAX_PATH ? 0 : MAX_PATH - around - folder;
}

TaskNameFault CheckTaskName(const std::string& name)
{
    if (name.empty())
        return TaskNameFault::Empty;
    // The characters as the system will see them: a legacy code page's second byte of a
    // character may look like a backslash.
    std::wstring wide = CodePage::Widen(name);
    if (wide.empty())
        return TaskNameFault::Characters;
    for (wchar_t ch : wide) {
        if (ch < 0x20 || std::wcschr(L"\\/:*?\"<>|", ch))
            return TaskNameFault::Characters;
    }
    if (wide.back() == L'.' || wide.back() == L' ')
        return TaskNameFault::Characters;
    if (IsDeviceName(wide))
        return TaskNameFault::Device;
    if (wide.size() > MaxTaskNameLength())
        return TaskNameFault::TooLong;
    return TaskNameFault::None;
}
