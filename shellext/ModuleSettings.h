// The two settings the menu command needs, read from the program's settings key with the wide
// registry functions, so an installation folder of any name arrives exactly. The server reads
// them once after it is loaded; a change takes effect when the file manager loads it again.
#pragma once

#include <string>

namespace shelvane {

struct ModuleSettings {
    std::wstring appPath;   // the installation folder; empty when missing or too long for a path
    std::wstring language;  // the language pack's name, without ".ini"
};

// Both stay empty when the settings key cannot be opened. A language that is missing, empty or
// not readable is "English".
ModuleSettings ReadModuleSettings();

// The language name as stored, with its first ".ini" removed; "English" when nothing is left.
std::wstring LanguageName(std::wstring stored);

}  // namespace shelvane
