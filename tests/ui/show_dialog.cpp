// Shows one of the program's dialogs with sample texts, for screenshots:
//   show_dialog APPPATH MARKFILE warning|bigwarning STYLE
//   show_dialog APPPATH MARKFILE subfolder | progress
// Writes the window's screen rectangle ("left top right bottom") to MARKFILE once it is shown,
// and closes when MARKFILE has been deleted.
#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "ui/DialogChannel.h"
#include "ui/ProgressDlg.h"
#include "ui/SubfolderOptionsDlg.h"
#include "ui/WarningDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string markFile;
bool marked = false;

BOOL CALLBACK FindShown(HWND window, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShown, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    if (!marked) {
        RECT rect;
        GetWindowRect(dialog, &rect);
        FILE* file = std::fopen(markFile.c_str(), "w");
        if (file) {
            std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
            std::fclose(file);
        }
        marked = true;
        return;
    }
    if (GetFileAttributesA(markFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::string Text(const std::string& appPath, int key)
{
    return LanguagePack::LookupText(appPath, "English", key);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count < 4)
        return 2;
    std::string args[5];
    for (int i = 1; i < count && i < 6; ++i) {
        char buffer[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, buffer, sizeof(buffer), nullptr, nullptr);
        args[i - 1] = buffer;
    }
    LocalFree(wide);
    const std::string appPath = args[0];
    markFile = args[1];
    const std::string kind = args[2];
    int style = std::atoi(args[3].c_str());

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Settings::WriteString("AppPath", appPath);
    SetTimer(nullptr, 0, 200, Watch);

    const std::string title = Text(appPath, 9606);
    if (kind == "warning" || kind == "bigwarning") {
        // A text each style is really used with.
        const int keys[] = {9021, 9040, 9032, 9036, 9020, 9038, 9049};
        int key = kind == "bigwarning" ? (style == 5 ? 9038 : 9027) : keys[style % 7];
        std::string path = "C:\\Users\\Ann\\Documents\\Reports 2026\\quarterly figures (final).xlsx";
        std::string message = MessageText::WithPath(MessageText::ExpandLineBreaks(Text(appPath, key)), path);
        if (kind == "bigwarning" && style == 3)
            message += "\n\n" + MessageText::ExpandLineBreaks(Text(appPath, 9026)) + "\n\n" +
                       MessageText::ExpandLineBreaks(Text(appPath, 9049));
        ShowWarning(nullptr, static_cast<WarningStyle>(style), message, key == 9032 ? Text(appPath, 9064) : title,
                    kind == "bigwarning" ? DialogSize::Big : DialogSize::Normal);
    } else if (kind == "subfolder") {
        SubfolderPolicies policies{1, 2};
        EditSubfolderPolicies(nullptr, policies);
    } else if (kind == "progress") {
        int stop = 0;
        DialogChannel channel;
        std::unique_ptr<ProgressView> view = channel.OpenProgress(nullptr, &stop);
        if (!view)
            return 1;
        view->ShowAndEnable();
        view->SetLine(1, "C:\\Users\\Ann\\Documents\\Reports 2026\\quarterly figures (final).xlsx");
        view->SetLine(2, Text(appPath, 9906));
        unsigned pass = 2, passes = 3;
        MessageText::Values values;
        values.u = &pass;
        values.t = &passes;
        view->SetLine(3, MessageText::Compose(Text(appPath, 9918), values));
        view->SetRange(100);
        view->SetPosition(62);
        MSG message;
        while (!stop && GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (!CMovieDialog::IsModelessDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    } else {
        return 2;
    }
    return 0;
}
