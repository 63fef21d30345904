// The about dialog: the program's name and version, and a way to the system information tool.
#pragma once

#include "ui/DocumentOpener.h"

#include <windows.h>

#include <string>

// Runs the about dialog modally, owned by `owner` or else the application's main window. Its
// "System Info" starts SysInfo.exe of the installation folder through `opener`.
void ShowAbout(HWND owner, DocumentOpener& opener = ShellDocuments());

// The product version, "1.0.0": the one the version resources and the installer carry.
std::string ProgramVersion();
