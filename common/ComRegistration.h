// Registration of an in-process server written as a table of (root, key, value name, data),
// the same table used to register and to unregister, so that unregistering removes exactly what
// registering wrote. Texts of the table may hold placeholders (such as "{clsid}" or "<module>")
// that are filled in when the table is applied; GUID placeholders are filled from the GUIDs
// themselves, never from literals written a second time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace com {

enum EntryFlags : unsigned {
    EntryOwnKey = 0,       // the key is ours: removed once it holds nothing
    EntrySharedKey = 1,    // the key belongs to the system: only our value is removed
    EntryNtOnly = 2,       // a list the NT platform alone keeps: written and removed there only
};

struct RegistryEntry {
    HKEY root;
    const wchar_t* key;
    const wchar_t* name;  // null: the key's default value
    const wchar_t* data;  // null: the key alone, with no value of ours
    unsigned flags = EntryOwnKey;
};

struct Placeholder {
    const wchar_t* marker;
    std::wstring value;
};
using Placeholders = std::vector<Placeholder>;

// `text` with every marker replaced by its value, in one pass.
std::wstring Expand(const wchar_t* text, const Placeholders& placeholders);

// True on the NT platform, where entries marked EntryNtOnly apply.
bool IsNtPlatform();

// Whether `entry` applies on this platform.
bool AppliesHere(const RegistryEntry& entry);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal, as the registry writes it.
std::wstring GuidText(REFGUID guid);

// The full path of `module`, and its folder; false when it does not fit a path buffer.
bool ModulePath(HMODULE module, std::wstring& path, std::wstring& folder);

// Creates the entry's key (non-volatile) and sets its value as REG_SZ with its terminator.
// S_OK, or the failure as an HRESULT.
HRESULT WriteEntry(const RegistryEntry& entry, const Placeholders& placeholders);

// Removes the entry's value, then its key when the key is our own and holds nothing more.
// S_OK; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the key does not exist; another failure.
HRESULT RemoveEntry(const RegistryEntry& entry, const Placeholders& placeholders);

// Writes the table forwards, skipping entries that do not apply here; at the first failure
// removes what it wrote and returns it.
HRESULT RegisterTable(const RegistryEntry* entries, size_t count, const Placeholders& placeholders);

// Removes the table backwards, children before parents, skipping entries that do not apply here.
// Every entry is tried, and an entry already gone counts as removed; the first other failure is
// returned.
HRESULT UnregisterTable(const RegistryEntry* entries, size_t count, const Placeholders& placeholders);

}  // namespace com
