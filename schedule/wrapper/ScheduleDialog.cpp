#include "ScheduleDialog.h"

#include "Module.h"
#include "ScheduleDialogIds.h"

#include <commctrl.h>

namespace taskmere {
namespace {

// The kinds in the order of the combo box's entries.
const wchar_t* const kKindNames[] = {L"Once", L"Daily", L"Every N days", L"Weekly", L"Monthly"};

class ScheduleDialog {
public:
    explicit ScheduleDialog(const ScheduleChoice& choice) : choice_(choice) {}

    INT_PTR Run(HWND owner)
    {
        return DialogBoxParamW(ModuleHandle(), MAKEINTRESOURCEW(IDD_SCHEDULE), owner, &Proc,
                               reinterpret_cast<LPARAM>(this));
    }
    const ScheduleChoice& Choice() const { return choice_; }

private:
    // No exception leaves the dialog procedure; a dialog whose handler failed ends as cancelled.
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        try {
            return Handle(window, message, wParam, lParam);
        } catch (...) {
            EndDialog(window, IDCANCEL);
            return TRUE;
        }
    }

    static INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ScheduleDialog*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            self->window_ = window;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<ScheduleDialog*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self || message != WM_COMMAND)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            if (self->OnOK())
                EndDialog(window, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(window, IDCANCEL);
            return TRUE;
        case IDC_SCHEDULE_KIND:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                self->ShowKindControls();
            return TRUE;
        default:
            return FALSE;
        }
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }

    // Filling the controls of our own template: their answers carry nothing to act on.
    void OnInit()
    {
        for (const wchar_t* name : kKindNames)
            SendMessageW(Item(IDC_SCHEDULE_KIND), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageW(Item(IDC_SCHEDULE_KIND), CB_SETCURSEL, static_cast<WPARAM>(choice_.kind), 0);

        SYSTEMTIME start;
        GetLocalTime(&start);  // a record without a valid date shows today
        SYSTEMTIME check = start;
        check.wYear = choice_.year;
        check.wMonth = choice_.month;
        check.wDay = choice_.day;
        FILETIME valid;
        if (SystemTimeToFileTime(&check, &valid))
            start = check;
        start.wHour = choice_.hour < 24 ? choice_.hour : 0;
        start.wMinute = choice_.minute < 60 ? choice_.minute : 0;
        start.wSecond = start.wMilliseconds = 0;
        SendMessageW(Item(IDC_START_DATE), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
        SendMessageW(Item(IDC_START_TIME), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));

        SetDlgItemInt(window_, IDC_EVERY_DAYS, choice_.everyDays, FALSE);
        for (int bit = 0; bit < 7; ++bit)
            CheckDlgButton(window_, IDC_SUNDAY + bit, (choice_.weekDays & (1u << bit)) ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemInt(window_, IDC_MONTH_DAY, choice_.monthDay, FALSE);
        CheckDlgButton(window_, IDC_ENABLED, choice_.enabled ? BST_CHECKED : BST_UNCHECKED);
        ShowKindControls();
    }

    ScheduleChoice::Kind SelectedKind() const
    {
        LRESULT selected = SendMessageW(Item(IDC_SCHEDULE_KIND), CB_GETCURSEL, 0, 0);
        if (selected < 0 || selected >= static_cast<LRESULT>(sizeof(kKindNames) / sizeof(kKindNames[0])))
            return ScheduleChoice::Kind::Once;
        return static_cast<ScheduleChoice::Kind>(selected);
    }

    // Only the controls of the chosen kind take input.
    void ShowKindControls()
    {
        ScheduleChoice::Kind kind = SelectedKind();
        EnableWindow(Item(IDC_EVERY_DAYS), kind == ScheduleChoice::Kind::EveryNDays);
        for (int bit = 0; bit < 7; ++bit)
            EnableWindow(Item(IDC_SUNDAY + bit), kind == ScheduleChoice::Kind::Weekly);
        EnableWindow(Item(IDC_MONTH_DAY), kind == ScheduleChoice::Kind::Monthly);
    }

    // Reads the controls; keeps the dialog open and names the problem when the choice is unfit.
    bool OnOK()
    {
        ScheduleChoice choice = choice_;
        choice.kind = SelectedKind();
        SYSTEMTIME date{}, time{};
        if (SendMessageW(Item(IDC_START_DATE), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) == GDT_VALID) {
            choice.year = date.wYear;
            choice.month = date.wMonth;
            choice.day = date.wDay;
        }
        if (SendMessageW(Item(IDC_START_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID) {
            choice.hour = time.wHour;
            choice.minute = time.wMinute;
        }
        BOOL translated = FALSE;
        UINT number = GetDlgItemInt(window_, IDC_EVERY_DAYS, &translated, FALSE);
        // Out of range numbers become 0, which Problem() refuses.
        choice.everyDays = translated && number <= 0xFFFF ? static_cast<WORD>(number) : 0;
        number = GetDlgItemInt(window_, IDC_MONTH_DAY, &translated, FALSE);
        choice.monthDay = translated && number <= 0xFFFF ? static_cast<WORD>(number) : 0;
        choice.weekDays = 0;
        for (int bit = 0; bit < 7; ++bit) {
            if (IsDlgButtonChecked(window_, IDC_SUNDAY + bit) == BST_CHECKED)
                choice.weekDays |= static_cast<WORD>(1u << bit);
        }
        choice.enabled = IsDlgButtonChecked(window_, IDC_ENABLED) == BST_CHECKED;

        if (const wchar_t* problem = choice.Problem()) {
            SetDlgItemTextW(window_, IDC_PROBLEM, problem);
            MessageBeep(MB_ICONWARNING);  // a sound only; nothing to check
            return false;
        }
        choice_ = choice;
        return true;
    }

    HWND window_ = nullptr;
    ScheduleChoice choice_;
};

}  // namespace

HRESULT ShowScheduleDialog(HWND owner, ScheduleChoice* choice)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES};
    if (!InitCommonControlsEx(&controls))
        return E_FAIL;
    ScheduleDialog dialog(*choice);
    INT_PTR result = dialog.Run(owner);
    if (result == -1 || result == 0)
        return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_CANNOT_MAKE);
    if (result != IDOK)
        return S_FALSE;
    *choice = dialog.Choice();
    return S_OK;
}

}  // namespace taskmere
