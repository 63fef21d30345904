// The user's settings: named values in one per-user registry key, read at every use.
// A read that fails, or finds a value of another type, gives the default; a failed write is lost.
#pragma once

#include <string>

namespace Settings {

extern const char* const KeyPath;  // below HKEY_CURRENT_USER

int ReadNumber(const char* name, int defaultValue);
void WriteNumber(const char* name, int value);
std::string ReadString(const char* name, const char* defaultValue);
void WriteString(const char* name, const std::string& value);

// The installation folder: the stored AppPath when it is a string holding the full path of an
// existing folder that fits a path buffer; otherwise the folder of the module this code runs in
// (the program, or a component loaded into another program), so that no file of the
// installation is ever looked for at the root of the current drive, where anyone may plant
// one. `defaultValue` only when that folder cannot be had either.
std::string ReadAppPath(const char* defaultValue);

// The folder of the module this code runs in, without a trailing '\'; empty when unknown.
std::string ModuleFolder();

}  // namespace Settings
