#include "ui/MainDlg.h"

#include "common/Settings.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"
#include "ui/AboutDlg.h"
#include "ui/resource.h"

#include <vector>

namespace {

// The movie commands the window still takes while a run pumps messages: none of them starts a
// run, changes a list or a setting the run reads.
const char* const TakenDuringRun[] = {"ID_FS_minimize", "ID_FS_Help", "IDC_FS_Drag", "ID_FS_viewLog"};

}  // namespace

// A shred run, or a schedule action with its dialogs, started by a command: the window takes no
// other command that could start a run or change a list meanwhile, and is disabled, as the wiper
// disables it, so that it takes no input at all (the scheduler's own schedule dialog has no
// owner to disable). The progress window is a window of its own and keeps working.
class CMainDlg::RunScope {
public:
    explicit RunScope(CMainDlg& dialog) : dialog_(dialog)
    {
        dialog_.running_ = true;
        HWND window = dialog_.GetSafeHwnd();
        focus_ = GetFocus();
        wasEnabled_ = window && IsWindowEnabled(window);
        if (wasEnabled_)
            EnableWindow(window, FALSE);  // returns the previous state, known already
    }
    ~RunScope()
    {
        HWND window = dialog_.GetSafeHwnd();
        if (wasEnabled_ && window) {
            EnableWindow(window, TRUE);
            if (focus_ && IsWindow(focus_) && IsChild(window, focus_))
                SetFocus(focus_);
        }
        dialog_.running_ = false;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    CMainDlg& dialog_;
    HWND focus_ = nullptr;
    bool wasEnabled_ = false;
};

CMainDlg::CMainDlg(ShredContext& context, const MainWindowSeams& seams)
    : CMovieDialog(IDD_MAIN),
      m_support{context, seams.shredders ? *seams.shredders : JobShredders(),
                seams.dialogs ? *seams.dialogs : SystemItemDialogs()},
      m_page1(m_support),
      m_page2(m_support),
      m_page3(m_support),
      m_page4(m_support),
      m_page5(m_support),
      m_page6(m_support),
      context_(context),
      opener_(seams.opener ? *seams.opener : ShellDocuments()),
      movie_(seams.movie),
      schedule_(seams.schedule)
{
}

MovieHost& CMainDlg::ActiveMovie()
{
    if (movie_)
        return *movie_;
    return m_movie;
}

const MovieHost& CMainDlg::ActiveMovie() const
{
    if (movie_)
        return *movie_;
    return m_movie;
}

CMovieDialog::CommandTable CMainDlg::Commands() const
{
    static const Command commands[] = {
        {"ID_FS_close", 0, On(&CMainDlg::OnClose)},
        {"ID_FS_minimize", 0, On(&CMainDlg::OnMinimize)},
        {"ID_FS_Help", 0, On(&CMainDlg::OnHelp)},
        {"IDC_FS_Drag", 0, On(&CMainDlg::OnDrag)},
        {"ID_FS_AboutUS", 0, On(&CMainDlg::OnAbout)},
        {"IDC_FS_QuickShred", 0, On(&CMainDlg::OnQuickShred)},
        {"IDC_FS_ThroughShred", 0, On(&CMainDlg::OnThoroughShred)},
        {"ID_FS_Browse", 0, On(&CMainDlg::OnBrowseFiles)},
        {"ID_FS_RemoveItem", 0, On(&CMainDlg::OnRemoveFile)},
        {"ID_FS_RemoveAllItem", 0, On(&CMainDlg::OnRemoveAllFiles)},
        {"ID_FS_ScheduleFile", 0, On(&CMainDlg::OnScheduleFiles)},
        {"ID_FS_ShredFile", 0, On(&CMainDlg::OnShredFiles)},
        {"ID_FS_FBrowse", 0, On(&CMainDlg::OnBrowseFolder)},
        {"ID_FS_RemoveFolderItem", 0, On(&CMainDlg::OnRemoveFolder)},
        {"ID_FS_RemoveAllFolderItem", 0, On(&CMainDlg::OnRemoveAllFolders)},
        {"ID_FS_ScheduleFolder", 0, On(&CMainDlg::OnScheduleFolders)},
        {"ID_FS_ShredFolder", 0, On(&CMainDlg::OnShredFolders)},
        {"ID_FS_ShredRecycleBin", 0, On(&CMainDlg::OnShredRecycleBin)},
        {"ID_FS_ScheduleRecycleBin", 0, On(&CMainDlg::OnScheduleRecycleBin)},
        {"ID_FS_ShredDrive", 0, On(&CMainDlg::OnShredDrive)},
        {"ID_FS_ScheduleDrive", 0, On(&CMainDlg::OnScheduleDrive)},
        {"IDC_FS_GetIn", 0, On(&CMainDlg::OnShowScheduleList)},
        {"ID_FS_RemoveAllSchedule", 0, On(&CMainDlg::OnDeleteAllTasks)},
        {"ID_FS_RemoveScheduleItem", 0, On(&CMainDlg::OnDeleteTask)},
        {"ID_FS_viewLog", 0, On(&CMainDlg::OnViewLog)},
        {"ID_FS_runNow", 0, On(&CMainDlg::OnRunTask)},
        {"ID_FS_taskProperties", 0, On(&CMainDlg::OnTaskProperties)},
        {"ID_FS_subFolder", 0, On(&CMainDlg::OnSubfolderOptions)},
        // Escape would end an ordinary dialog; the main window ends only when asked to close.
        {nullptr, IDCANCEL, On(&CMainDlg::OnNothing)},
    };
    return Table(commands);
}

void CMainDlg::OnFSCommand(const std::string& command, const std::string& args)
{
    if (running_) {
        bool taken = false;
        for (const char* name : TakenDuringRun)
            taken = taken || SameCommand(name, command);
        if (!taken)
            return;
    }
    CMovieDialog::OnFSCommand(command, args);
}

void CMainDlg::OnInitDialog()
{
    HWND window = GetSafeHwnd();

    // 2. The system menu's About entry.
    char about[128] = "";
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof(about)) > 0) {
        HMENU menu = GetSystemMenu(window, FALSE);
        if (menu) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);  // a menu without the entry still works
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    // 3.
    SetIcons();

    // 4. Owner of the progress window and the modal dialogs, receiver of help requests.
    context_.parentWindow = window;
    SetMainWindow(window);
    std::string appPath = Settings::ReadAppPath("");

    // 5.
    splash_.SetFile(appPath + "\\Skin\\Splash.spl");
    splash_.Show(window, SplashMilliseconds);  // a splash that cannot show is no loss

    // 6.
    if (!skin_.Load(appPath + "\\Skin\\skin.skn") || !skin_.Apply(window, "Mask")) {
        MessageBoxA(window, "Could load or apply the skin.", context_.title.c_str(), MB_OK);  // only OK to press
        closing_ = true;
        EndDialog(IDCANCEL);
        return;
    }

    // 7.
    LoadMovie("VantorShredder.swf");
    MovieHost& movie = ActiveMovie();

    // 8.
    movie.SetVariable("_root.myCounter", "0");
    movie.SetVariable("_root.myCounter1", "0");

    // 9.
    m_page1.LoadSettings();
    movie.SetVariable("_root.quickShred", m_page1.method == 0 ? "1" : "0");
    movie.SetVariable("_root.repeatNum", std::to_string(m_page1.passCount));

    // 10.
    movie.SetVariable("_root.languageCBLength", "1");
    movie.SetVariable("_root.languageCBLabels0", "English");
    movie.SetVariable("_root.strCurrentLanguage", context_.language);

    // 11.
    std::vector<std::string> drives;
    for (const DriveEntry& drive : context_.machine.drives)
        if (drive.root[0] != '\0')
            drives.push_back(std::string(drive.root, 2));
    movie.SetVariable("_root.driveCBLength", std::to_string(drives.size()));
    for (size_t i = 0; i < drives.size(); ++i)
        movie.SetVariable("_root.drivesCBLabels" + std::to_string(i), drives[i]);
}

void CMainDlg::ShowFallback()
{
    if (closing_)
        return;
    // The movie is the whole window: without it there is nothing to offer.
    std::string movie = Settings::ReadAppPath("") + "\\Skin\\VantorShredder.swf";
    std::string text = MessageText::WithPath(MessageText::ExpandLineBreaks(context_.LookupText(9145)), movie);
    MessageBoxA(GetSafeHwnd(), text.c_str(), context_.title.c_str(), MB_OK | MB_ICONSTOP);  // only OK to press
    closing_ = true;
    EndDialog(IDCANCEL);
}

BOOL CMainDlg::OnHelpInfo()
{
    OpenHelpFile();
    return FALSE;
}

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    HWND window = GetSafeHwnd();
    switch (message) {
    case WM_SHRED_HELP:
        OpenHelpFile();
        result = TRUE;
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX)
            return false;
        if (!running_)
            ShowAbout(window, opener_);
        result = TRUE;
        return true;
    case WM_CLOSE:
        // The system menu's Close and Alt+F4; refused while a run walks the lists.
        if (!running_)
            EndDialog(0);
        result = TRUE;
        return true;
    case WM_PAINT: {
        if (!IsIconic(window))
            return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc) {
            RECT client;
            GetClientRect(window, &client);
            HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
            int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);
            if (icon)
                DrawIconEx(dc, (client.right - width + 1) / 2, (client.bottom - height + 1) / 2, icon, width, height, 0,
                           nullptr, DI_NORMAL);  // nothing better to draw on failure
            EndPaint(window, &paint);
        }
        result = TRUE;
        return true;
    }
    case WM_QUERYDRAGICON:
        result = static_cast<INT_PTR>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
        return true;
    case WM_DESTROY:
        if (context_.parentWindow == window)
            context_.parentWindow = nullptr;
        if (MainWindow() == window)
            SetMainWindow(nullptr);
        return false;
    default:
        return false;
    }
}

void CMainDlg::SetIcons()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Shared icons of the system's own sizes: the system frees them.
    HANDLE big = LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                            GetSystemMetrics(SM_CYICON), LR_SHARED);
    HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (big)
        SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small)
        SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CMainDlg::OpenHelpFile()
{
    opener_.Open(Settings::ReadAppPath("") + "\\HLP\\VantorShred.chm", std::string(), SW_SHOWMAXIMIZED);
}

void CMainDlg::ResetFileList()
{
    ActiveMovie().SetVariable("_root.removeFileList", "1");
    ActiveMovie().SetVariable("_root.myCounter", "0");
}

void CMainDlg::ResetFolderList()
{
    ActiveMovie().SetVariable("_root.removeFolderList", "1");
    ActiveMovie().SetVariable("_root.myCounter1", "0");
}

void CMainDlg::OnClose(const std::string&)
{
    EndDialog(0);
}

void CMainDlg::OnMinimize(const std::string&)
{
    ShowWindow(GetSafeHwnd(), SW_MINIMIZE);  // returns the previous visibility
}

void CMainDlg::OnHelp(const std::string&)
{
    HWND main = MainWindow() ? MainWindow() : GetSafeHwnd();
    SendMessageA(main, WM_SHRED_HELP, 0, 0);
}

void CMainDlg::OnAbout(const std::string&)
{
    ShowAbout(GetSafeHwnd(), opener_);
}

void CMainDlg::OnQuickShred(const std::string&)
{
    m_page1.ChooseQuick();
}

void CMainDlg::OnThoroughShred(const std::string& args)
{
    int passes = m_page1.ChooseThorough(args);
    if (passes != 0)
        ActiveMovie().SetVariable("_root.repeatNum", std::to_string(passes));
}

void CMainDlg::OnBrowseFiles(const std::string&)
{
    // Every path added is announced, so that the list the user sees is the list that will be
    // destroyed.
    std::vector<std::string> added;
    if (m_page2.BrowseFiles(&added).empty())
        return;
    for (const std::string& path : added) {
        ActiveMovie().SetVariable("_root.NamesOfFileItems", path);
        ActiveMovie().SetVariable("_root.newEntry", "1");
    }
}

void CMainDlg::OnRemoveFile(const std::string& args)
{
    size_t position = m_page2.files.Find(args);
    if (position == ItemList::npos) {
        Report(context_, WarningStyle::Notice, context_.LookupText(9018));
        return;
    }
    m_page2.files.RemoveAt(position);
}

void CMainDlg::OnRemoveAllFiles(const std::string&)
{
    if (m_page2.RemoveAllFiles())
        ResetFileList();
}

void CMainDlg::OnShredFiles(const std::string&)
{
    RunScope run(*this);
    if (m_page2.ShredFilesNow())
        ResetFileList();
}

void CMainDlg::OnBrowseFolder(const std::string&)
{
    std::string path = m_page3.BrowseFolder();
    if (path.empty())
        return;
    ActiveMovie().SetVariable("_root.NamesOfFolderItems", path);
    ActiveMovie().SetVariable("_root.newFEntry", "1");
}

void CMainDlg::OnRemoveFolder(const std::string& args)
{
    size_t position = m_page3.folders.Find(args);
    if (position == ItemList::npos) {
        Report(context_, WarningStyle::Notice, context_.LookupText(9025));
        return;
    }
    m_page3.folders.RemoveAt(position);
}

void CMainDlg::OnRemoveAllFolders(const std::string&)
{
    if (m_page3.RemoveAllFolders())
        ResetFolderList();
}

void CMainDlg::OnShredFolders(const std::string&)
{
    RunScope run(*this);
    if (m_page3.ShredFoldersNow())
        ResetFolderList();
}

void CMainDlg::OnShredRecycleBin(const std::string&)
{
    RunScope run(*this);
    m_page5.ShredRecycleBinNow();
}

void CMainDlg::OnShredDrive(const std::string& args)
{
    RunScope run(*this);
    m_page4.ShredDriveNow(args);
}

void CMainDlg::OnViewLog(const std::string&)
{
    std::string folder = Settings::ReadAppPath("");
    opener_.Open(folder + "\\log.txt", folder, SW_SHOWNORMAL);
}

void CMainDlg::OnSubfolderOptions(const std::string&)
{
    m_page3.EditSubfolderOptions();
}

void CMainDlg::ShowScheduleList()
{
    const std::vector<std::string>& names = m_page6.tasks.Names();
    MovieHost& movie = ActiveMovie();
    movie.SetVariable("_root.myCounter2", std::to_string(names.size()));
    for (size_t i = 0; i < names.size(); ++i)
        movie.SetVariable("_root.NamesOfScheduleItems" + std::to_string(i), names[i]);
    movie.SetVariable("_root.FirstTime", "1");
}

void CMainDlg::OnScheduleFiles(const std::string&)
{
    if (!schedule_)
        return;
    RunScope run(*this);
    if (schedule_->ScheduleFiles(m_page2.files))
        ResetFileList();
}

void CMainDlg::OnScheduleFolders(const std::string&)
{
    if (!schedule_)
        return;
    RunScope run(*this);
    if (schedule_->ScheduleFolders(m_page3.folders))
        ResetFolderList();
}

void CMainDlg::OnScheduleRecycleBin(const std::string&)
{
    if (!schedule_)
        return;
    RunScope run(*this);
    schedule_->ScheduleRecycleBin();
}

void CMainDlg::OnScheduleDrive(const std::string& args)
{
    if (!schedule_)
        return;
    RunScope run(*this);
    schedule_->ScheduleDrive(args);
}

void CMainDlg::OnShowScheduleList(const std::string&)
{
    if (!schedule_)
        return;
    {
        RunScope run(*this);
        schedule_->ReloadTaskList(m_page6.tasks);
    }
    ShowScheduleList();
}

void CMainDlg::OnDeleteAllTasks(const std::string&)
{
    if (!schedule_)
        return;
    TaskListChange change;
    {
        RunScope run(*this);
        change = schedule_->DeleteAllTasks(m_page6.tasks);
    }
    if (change == TaskListChange::Emptied)
        ActiveMovie().SetVariable("_root.removeScheduleList", "1");
    else if (change == TaskListChange::Reloaded)
        ShowScheduleList();
}

// The task the movie names, looked up in the task list; `action` acts on it there.
void CMainDlg::ActOnTask(const std::string& name, TaskAction action)
{
    if (!schedule_)
        return;
    size_t position = m_page6.tasks.Find(name);
    if (position == TaskList::npos) {
        Report(context_, WarningStyle::Notice, context_.LookupText(9028));
        return;
    }
    TaskListChange change;
    {
        RunScope run(*this);
        change = (schedule_->*action)(m_page6.tasks, position);
    }
    if (change != TaskListChange::None)
        ShowScheduleList();
}

void CMainDlg::OnDeleteTask(const std::string& args)
{
    ActOnTask(args, &ScheduleFrontEnd::DeleteTask);
}

void CMainDlg::OnRunTask(const std::string& args)
{
    ActOnTask(args, &ScheduleFrontEnd::RunTask);
}

void CMainDlg::OnTaskProperties(const std::string& args)
{
    ActOnTask(args, &ScheduleFrontEnd::ShowTaskProperties);
}
