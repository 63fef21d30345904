#include "ui/AboutDlg.h"

#include "ProductVersion.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "ui/MovieDialog.h"
#include "ui/resource.h"

#include <memory>
#include <new>
#include <vector>

namespace {

class CAboutDlg : public CMovieDialog {
public:
    explicit CAboutDlg(DocumentOpener& opener) : CMovieDialog(IDD_ABOUT), opener_(opener) {}

protected:
    CommandTable Commands() const override
    {
        static const Command commands[] = {
            {"ID_FS_exit", IDOK, On(&CAboutDlg::OnExit)},
            {"ID_FS_systemInfo", IDC_SYSTEM_INFO, On(&CAboutDlg::OnSystemInfo)},
            {"IDC_FS_Drag", 0, On(&CAboutDlg::OnDrag)},
            {nullptr, IDCANCEL, On(&CAboutDlg::OnExit)},
        };
        return Table(commands);
    }

    void OnInitDialog() override
    {
        HWND window = GetSafeHwnd();
        std::string language = Settings::ReadString("Language", "English");
        std::string name = LanguagePack::ReadCaption(language, 9606, "Vantor Shredder", LanguagePack::TitleBufferSize);
        std::string version = MessageText::WithPath(
            LanguagePack::ReadCaption(language, 9146, "Version %s", LanguagePack::CaptionBufferSize), ProgramVersion());
        // No caption bar, but the name is what screen readers and the task switcher announce.
        SetWindowTextA(window, name.c_str());
        SetDlgItemTextA(window, IDC_ABOUT_NAME, name.c_str());
        SetDlgItemTextA(window, IDC_ABOUT_VERSION, version.c_str());
        LanguagePack::SetItemText(language, 9086, IDC_SYSTEM_INFO, "System Info", window);
        LanguagePack::SetItemText(language, 9080, IDOK, "OK", window);
        LoadMovie("aboutAs.swf");
        ActiveMovie().SetVariable("_root.version", version);
    }

    void ShowFallback() override
    {
        const int shown[] = {IDC_ABOUT_ICON, IDC_ABOUT_NAME, IDC_ABOUT_VERSION, IDC_SYSTEM_INFO, IDOK};
        UseMovieFont(shown, sizeof(shown) / sizeof(shown[0]));
        for (int id : shown)
            ShowItem(id, true);
    }

private:
    void OnExit(const std::string&) { EndDialog(IDOK); }
    void OnSystemInfo(const std::string&)
    {
        std::string folder = Settings::ReadAppPath("");
        opener_.Open(folder + "\\SysInfo.exe", folder, SW_SHOWMAXIMIZED);
    }

    DocumentOpener& opener_;
};

}  // namespace

void ShowAbout(HWND owner, DocumentOpener& opener)
{
    std::unique_ptr<CAboutDlg> dialog(new (std::nothrow) CAboutDlg(opener));
    if (dialog)
        dialog->DoModal(owner);  // no result is used
}

std::string ProgramVersion()
{
    return PRODUCT_VERSION_TEXT;
}
