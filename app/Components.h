// The companion components that start-up checks at every start: the task scheduler component
// (Taskmere.dll in the system folder, registered as a class), whose Schedule object the program
// creates, and the context-menu extension (Shelvane.dll in the installation folder, registered).
// The program does not register them; it says when one is missing. It also writes, at every
// start, the Recycle Bin's shell verb that starts the program with "recycle".
//
// The class keys are only read, so a user without the right to change the system's classes
// finds the installed components all the same. A missing component's notice follows the
// reporting policy: a silent run logs it and goes on.
#pragma once

#include "common/ScopedWin.h"
#include "engine/ShredContext.h"

#include <oaidl.h>

#include <string>

extern const char* const SchedulerClassKey;      // "CLSID\{3B7E51A0-...}" below HKEY_CLASSES_ROOT
extern const char* const MenuExtensionClassKey;  // "CLSID\{8E2A4C19-...}"
extern const char* const RecycleBinVerbKey;      // "CLSID\{645FF040-...}\shell\Vantor Shredder"

// True when the scheduler component's class key opens and its file is in the system folder;
// otherwise reports key 9060 and returns false.
bool CheckSchedulerComponent(ShredContext& context);
// Reports key 9059 when the extension's class key does not open or its file is not in the
// installation folder; then writes the Recycle Bin verb.
void CheckMenuExtension(ShredContext& context);
// Writes the verb's caption (key 12000 of the current language) and its command. A verb that
// cannot be written (no right to change the system's classes) goes unnoticed: the program works
// without it.
void RegisterRecycleBinVerb(ShredContext& context);
// The verb's command: the program in the installation folder, in quotes (a folder with blanks
// would otherwise make the shell try a shorter path first), then "recycle".
std::string RecycleBinVerbCommand(const std::string& appPath);

// The Schedule object from the ProgID "TaskScheduler.Schedule"; null when it cannot be created.
ComPtr<IDispatch> CreateSchedulerObject();

// The component steps of start-up as one seam: SystemComponents() are the ones above; tests of
// other parts of start-up stand in for them.
class StartupComponents {
public:
    virtual ~StartupComponents() = default;
    virtual bool CheckSchedulerComponent(ShredContext& context) = 0;
    virtual ComPtr<IDispatch> CreateScheduler() = 0;
    virtual void CheckMenuExtension(ShredContext& context) = 0;
};

StartupComponents& SystemComponents();
