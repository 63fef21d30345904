// What the server keeps for as long as it is loaded: its module handle and the settings it read
// on its first use.
#pragma once

#include "ModuleSettings.h"

#include <windows.h>

namespace shelvane {

HMODULE ModuleHandle();

// The settings as read when the server was first asked for its class after loading. (Not in
// DllMain: the registry is not to be read while the loader holds its lock.)
const ModuleSettings& LoadedSettings();

}  // namespace shelvane
