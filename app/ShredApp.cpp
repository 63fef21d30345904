#include "app/ShredApp.h"

#include "app/CommandLine.h"
#include "app/JobRunner.h"
#include "common/Settings.h"
#include "common/SidText.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/Reporting.h"
#include "engine/ShredLog.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "schedule/TaskSchedule.h"
#include "ui/MainDlg.h"
#include "ui/ShellNoticeDlg.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>


ShredApp::ShredApp() = default;

// The progress window and the COM objects go before COM itself.
ShredApp::~ShredApp()
{
    context.progressWindow.reset();
    scheduler.Reset();
    com_.reset();
}

std::string ProgramFolder()
{
    return Settings::ModuleFolder();  // the program's code is linked into the program file
}

bool ShredApp::Fail(int key, const std::string& text)
{
    Report(context, WarningStyle::Notice, text.empty() ? MessageText::ExpandLineBreaks(context.LookupText(key)) : text);
    return false;
}

void ShredApp::ParseCommandLine(const std::string& line)
{
    ::ParseCommandLine(line, [this](const std::string& token) { return HandleArgument(token); });
}

bool ShredApp::HandleArgument(const std::string& token)
{
    try {
        items.reserve(items.size() + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }

    Argument argument = ClassifyArgument(token);
    if (argument.kind == Argument::Silent) {
        context.silent = true;
        expectTaskName = true;
        return true;
    }
    if (expectTaskName) {
        expectTaskName = false;
        WriteTaskLine(token);
        return true;
    }
    switch (argument.kind) {
    case Argument::Item:
        items.push_back(token);  // room was made above
        break;
    case Argument::Switch:
        switch (argument.letter) {
        case 'O': context.job.method = argument.value; break;
        case 'T':
            context.job.passCount = argument.value;
            context.job.passCountGiven = true;
            break;
        case 'F': context.job.folderPolicy = argument.value; break;
        case 'R': context.job.removePolicy = argument.value; break;
        }
        break;
    default:
        break;
    }
    return true;
}

void ShredApp::CollectProtectedFolders()
{
    std::string* protectedFolders = context.machine.protectedFolders;
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    protectedFolders[0] = length > 0 && length < MAX_PATH ? path : "";
    length = GetSystemDirectoryA(path, MAX_PATH);
    std::string system = length > 0 && length < MAX_PATH ? path : "";
    protectedFolders[1] = system;

    const int shellFolders[] = {CSIDL_FONTS, CSIDL_STARTMENU, CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY};
    for (int i = 0; i < 4; ++i)
        protectedFolders[2 + i] = SHGetSpecialFolderPathA(nullptr, path, shellFolders[i], FALSE) ? path : "";

    protectedFolders[6] = system.empty() ? "" : system + "\\IOSUBSYS";
    protectedFolders[7] = system.empty() ? "" : system + "\\VMM32";
}

bool ShredApp::CheckShellRecycleSupport()
{
    AutoLibrary shell(LoadLibraryA("SHELL32.DLL"));
    if (!shell)
        return false;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(shell.Get(), "DllGetVersion")));
    if (!getVersion)
        return false;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info)))
        return false;
    bool newEnough = info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion > 70);
    return newEnough && GetProcAddress(shell.Get(), "SHQueryRecycleBinA") &&
           GetProcAddress(shell.Get(), "SHEmptyRecycleBinA");
}

bool ShredApp::FindFreeSpaceFunctions()
{
    kernelLibrary_.Reset(LoadLibraryA("kernel32.dll"));
    if (!kernelLibrary_)
        return Fail(9008);
    MachineFacts& machine = context.machine;
    machine.getDiskFreeSpaceEx = reinterpret_cast<GetDiskFreeSpaceExFunc>(
        reinterpret_cast<void*>(GetProcAddress(kernelLibrary_.Get(), "GetDiskFreeSpaceExA")));
    if (!machine.getDiskFreeSpaceEx)
        machine.getDiskFreeSpace = reinterpret_cast<GetDiskFreeSpaceFunc>(
            reinterpret_cast<void*>(GetProcAddress(kernelLibrary_.Get(), "GetDiskFreeSpaceA")));
    if (!machine.getDiskFreeSpaceEx && !machine.getDiskFreeSpace)
        return Fail(9009);
    return true;
}

bool ShredApp::BuildDriveTable()
{
    bool someNtfs = false;
    DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        DriveEntry& drive = context.machine.drives[letter];
        drive = DriveEntry();
        if (!(mask & (1u << letter)))
            continue;
        char root[4] = {static_cast<char>('A' + letter), ':', '\\', '\0'};
        UINT type = GetDriveTypeA(root);
        if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE && type != DRIVE_REMOTE)
            continue;
        memcpy(drive.root, root, sizeof(root));
        char fileSystem[65] = {};
        if (GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof(fileSystem)))
            drive.ntfs = lstrcmpiA(fileSystem, "NTFS") == 0;
        someNtfs = someNtfs || drive.ntfs;
    }
    return someNtfs;
}

bool ShredApp::FillUserSid(bool someDriveNtfs)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);  // a failure leaves zeroes: neither platform's flag is set
    MachineFacts& machine = context.machine;
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        machine.versionFlag = version.dwMajorVersion == 4 && version.dwMinorVersion == 90;
        return true;
    }
    machine.versionFlag = version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
    if (!someDriveNtfs || !shellRecycleSupport)
        return true;
    int failure = ReadUserSidText(machine.sid);
    if (failure == SidOk)
        return true;
    machine.sid.clear();
    return Fail(9035, MessageText::WithNumber(context.LookupText(9035), static_cast<unsigned>(failure)));
}

bool ShredApp::InitInstance(const std::string& commandLine)
{
    // 1. The movie windows draw with the system's common controls.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);  // without it only the old controls show; not fatal

    // 2, 3: the settings key is fixed; the language is read once.
    context.language = Settings::ReadString("Language", "English");

    // 4.
    ParseCommandLine(commandLine);

    // 5. A stored folder that is unusable gives the program's own folder (Settings.h).
    if (items.empty() && Settings::ReadString("AppPath", "Empty") == "Empty")
        Settings::WriteString("AppPath", ProgramFolder());
    context.appPath = Settings::ReadAppPath("");
    if (items.empty()) {
        std::string mutexName = context.LookupText(9606);
        instanceMutex_.Reset(CreateMutexA(nullptr, TRUE, mutexName.c_str()));
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_INVALID_HANDLE) {
            instanceMutex_.Reset();
            context.title = LanguagePack::ReadText(LanguagePack::PackPath(context.appPath, context.language), 9606,
                                                   "Error", LanguagePack::TitleBufferSize);
            Report(context, WarningStyle::Error, MessageText::ExpandLineBreaks(context.LookupText(9065)));
            return false;
        }
    }

    // 6.
    context.title = LanguagePack::ReadText(LanguagePack::PackPath(context.appPath, context.language), 9606, "Error",
                                           LanguagePack::TitleBufferSize);

    // A job's pass count outside 1 to 10 is corrected before anything is shredded, in the log.
    SettleJobPassCount(context);

    // 7.
    if (!context.AllocateTransferBuffer())
        return Fail(9006);

    // 8.
    com_.reset(new (std::nothrow) ScopedCom);
    if (!com_ || !com_->Succeeded())
        return Fail(9007);

    // 9.
    CollectProtectedFolders();

    // 10. The scheduling front end says it when there is no Schedule object.
    if (components->CheckSchedulerComponent(context))
        scheduler = components->CreateScheduler();

    // 11.
    shellRecycleSupport = CheckShellRecycleSupport();
    if (!shellRecycleSupport)
        ShowOldShellNotice(context);

    // 12.
    if (!FindFreeSpaceFunctions())
        return false;

    // 13, 14.
    bool someDriveNtfs = BuildDriveTable();
    if (!FillUserSid(someDriveNtfs))
        return false;

    // 15.
    components->CheckMenuExtension(context);
    return true;
}

void ShredApp::Run()
{
    OfferToRemoveLeftWorkFolders(context, items);
    if (!items.empty()) {
        RunCommandLineJob(context, items);
        return;
    }
    TaskSchedule schedule(context, scheduler.Get());
    MainWindowSeams seams;
    seams.schedule = &schedule;
    CMainDlg window(context, seams);
    window.DoModal();  // the program ends when it closes, however it ends
}

void ShowOldShellNotice(ShredContext& context)
{
    if (Settings::ReadNumber("AlertDisabled", 0) != 0)
        return;
    std::string text = OldShellNoticeText(context.appPath, context.language);
    // Nobody sees a dialog of a silent run, and it would keep the job from starting.
    if (context.silent) {
        StartupNotice(context, text);
        return;
    }
    bool dontShowAgain = false;
    if (NoticeInPerson(context, NoticeMode::OldShell, text, &dontShowAgain) && dontShowAgain)
        Settings::WriteNumber("AlertDisabled", 1);
}

int ShredApp::ExitInstance()
{
    items.clear();
    kernelLibrary_.Reset();
    // A run that was stopped, or left something undone, says so instead of "Success".
    if (context.silent && context.logText.empty()) {
        bool stopped = context.incomplete || context.stopRequest;
        LogMessage(context, stopped ? MessageText::ExpandLineBreaks(context.LookupText(9243)) : "Success");
    }
    return 0;
}
