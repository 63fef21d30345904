// Shows one of the program's dialogs with sample texts, for screenshots:
//   show_dialog APPPATH MARKFILE warning|bigwarning STYLE
//   show_dialog APPPATH MARKFILE subfolder | progress | about | taskname | notice MODE
//   show_dialog APPPATH MARKFILE main AREA
// Writes the window's screen rectangle ("left top right bottom"; the client area of the main
// window, which its outline cuts to) to MARKFILE once it is shown, and closes when MARKFILE has
// been deleted.
#include "app/ShredApp.h"
#include "tests/support/TestSupport.h"
#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "ui/AboutDlg.h"
#include "ui/DialogChannel.h"
#include "ui/MainDlg.h"
#include "ui/ProgressDlg.h"
#include "ui/ShellNoticeDlg.h"
#include "ui/SubfolderOptionsDlg.h"
#include "ui/TaskNameDlg.h"
#include "ui/WarningDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string markFile;
bool marked = false;
bool clientArea = false;
// Runs once the window shows, before it is photographed.
void (*prepare)(HWND dialog) = nullptr;

BOOL CALLBACK FindShown(HWND window, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    // The splash is a dialog too, but takes no input: the window to show is the one that does.
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
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
        if (prepare) {
            prepare(dialog);
            prepare = nullptr;
            return;
        }
        RECT rect;
        GetWindowRect(dialog, &rect);
        if (clientArea) {
            GetClientRect(dialog, &rect);
            MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        }
        FILE* file = std::fopen(markFile.c_str(), "w");
        if (file) {
            std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
            std::fclose(file);
        }
        marked = true;
        return;
    }
    if (GetFileAttributesA(markFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

std::string Text(const std::string& appPath, int key)
{
    return LanguagePack::LookupText(appPath, "English", key);
}

// The main window with its movie open to tell it about sample entries.
class SampleMainDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    using CMainDlg::ActiveMovie;
};

SampleMainDlg* mainWindow = nullptr;
int area = 0;

// The movie control of `className` whose text is `text`.
HWND MovieChild(HWND dialog, const char* className, const char* text)
{
    HWND host = GetDlgItem(dialog, 1060);
    for (int id = 20000; id < 20300; ++id) {
        HWND control = GetDlgItem(host, id);
        char name[32] = {}, shown[256] = {};
        if (control && GetClassNameA(control, name, sizeof(name)) && lstrcmpiA(name, className) == 0 &&
            (!text || (GetWindowTextA(control, shown, sizeof(shown)) >= 0 && lstrcmpA(shown, text) == 0)))
            return control;
    }
    return nullptr;
}

void PrepareMain(HWND dialog)
{
    const char* files[] = {"C:\\Users\\Ann\\Documents\\Reports 2026\\quarterly figures (final).xlsx",
                           "C:\\Users\\Ann\\Documents\\Letters\\bank statement march.pdf",
                           "C:\\Users\\Ann\\Pictures\\Holidays\\Passport scan.jpg",
                           "D:\\Archive\\2019\\Old projects\\Customer database export (complete, do not share).csv"};
    const char* folders[] = {"C:\\Users\\Ann\\Documents\\Tax returns", "D:\\Archive\\Scans"};
    const char* tasks[] = {"Weekly: browser downloads", "Nightly free space on C:"};
    MovieHost& movie = mainWindow->ActiveMovie();
    for (const char* file : files) {
        mainWindow->m_page2.files.Append(file);
        movie.SetVariable("_root.NamesOfFileItems", file);
        movie.SetVariable("_root.newEntry", "1");
    }
    for (const char* folder : folders) {
        mainWindow->m_page3.folders.Append(folder);
        movie.SetVariable("_root.NamesOfFolderItems", folder);
        movie.SetVariable("_root.newFEntry", "1");
    }
    movie.SetVariable("_root.myCounter2", "2");
    for (int i = 0; i < 2; ++i)
        movie.SetVariable("_root.NamesOfScheduleItems" + std::to_string(i), tasks[i]);
    movie.SetVariable("_root.FirstTime", "1");
    const char* areas[] = {"&Files", "F&olders", "Free sp&ace", "&Recycle Bin", "Sc&heduled tasks", "O&ptions"};
    HWND button = MovieChild(dialog, "Button", areas[area % 6]);
    if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
}

void PrepareTaskName(HWND dialog)
{
    HWND edit = MovieChild(dialog, "Edit", nullptr);
    if (edit)
        SetWindowTextA(edit, "Weekly: browser downloads");
}

// No task is taken: the sample only shows the dialog.
class NoTasks : public TaskNameBook {
public:
    TaskNameState Check(const std::string&) override { return TaskNameState::Free; }
};

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
    } else if (kind == "about") {
        ShowAbout(nullptr);
    } else if (kind == "taskname") {
        ShredContext context;
        context.appPath = appPath;
        context.title = title;
        NoTasks names;
        std::string name;
        prepare = PrepareTaskName;
        AskTaskName(nullptr, context, names, name);
    } else if (kind == "notice") {
        bool box = false;
        ShowShellNotice(nullptr, style == 1 ? Text(appPath, 9062) : OldShellNoticeText(appPath, "English"), title,
                        &box);
    } else if (kind == "main") {
        DialogChannel channel;
        ShredApp app;
        app.context.channel = &channel;
        app.components = &test::Installed();  // the window is the subject, not the installation
        if (!app.InitInstance(""))
            return 1;
        SampleMainDlg dialog(app.context);
        mainWindow = &dialog;
        area = style;
        clientArea = true;
        prepare = PrepareMain;
        dialog.DoModal();
    } else {
        return 2;
    }
    return 0;
}
