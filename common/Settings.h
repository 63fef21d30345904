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

// The installation folder, or `defaultValue` when the stored one is absent or does not fit a
// path buffer (a cut folder would name another place).
std::string ReadAppPath(const char* defaultValue);

}  // namespace Settings
