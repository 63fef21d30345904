// The application object: start-up, the command line, the run of the program and its end. It
// owns the engine's context (engine/ShredContext.h), which holds what the shredders share, and
// keeps for itself what only the program as a whole needs: the job's items, the single-instance
// mutex, COM and the task scheduler component's Schedule object.
#pragma once

#include "app/Components.h"
#include "common/ScopedWin.h"
#include "engine/ShredContext.h"

#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

class ShredApp {
public:
    ShredApp();
    ~ShredApp();
    ShredApp(const ShredApp&) = delete;
    ShredApp& operator=(const ShredApp&) = delete;

    // Runs the start-up sequence on the text after the program's name. Returns false when the
    // program must end; the reason has been shown or logged.
    bool InitInstance(const std::string& commandLine);

    // Shows the main window or runs the command-line job; returns when the program may end.
    void Run();

    // Frees what the run held; a silent run that logged nothing logs "Success", or, when it was
    // stopped or left something undone, that it was stopped. Returns the process's exit status.
    int ExitInstance();

    void ParseCommandLine(const std::string& line);
    // Applies one token; false only when the item list cannot grow.
    bool HandleArgument(const std::string& token);

    // An interactive start took the single-instance mutex.
    bool HoldsInstanceMutex() const { return instanceMutex_.IsValid(); }

    // What the engine works with; also the texts, silent mode and the job's settings.
    ShredContext context;

    // The command line's items, in order.
    std::vector<std::string> items;
    bool expectTaskName = false;

    // The shell offers the Recycle Bin's query and empty functions.
    bool shellRecycleSupport = false;

    // The Schedule object of the task scheduler component; null when the component is missing
    // or could not be created. The scheduling front end drives it (and the task in hand).
    ComPtr<IDispatch> scheduler;

    // The component checks of start-up.
    StartupComponents* components = &SystemComponents();

private:
    bool Fail(int key, const std::string& text = std::string());
    void CollectProtectedFolders();
    bool CheckShellRecycleSupport();
    bool FindFreeSpaceFunctions();
    bool BuildDriveTable();
    bool FillUserSid(bool someDriveNtfs);

    AutoHandle instanceMutex_;
    AutoLibrary kernelLibrary_;
    std::unique_ptr<ScopedCom> com_;
};

// The start-up notice that the shell is too old for the Recycle Bin commands, unless the setting
// "AlertDisabled" is set; its box ticked and OK store "AlertDisabled" = 1.
void ShowOldShellNotice(ShredContext& context);

// The program folder: the running program file's path up to its last '\'.
std::string ProgramFolder();
