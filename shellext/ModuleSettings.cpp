#include "ModuleSettings.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"

#include <cstring>

namespace shelvane {
namespace {

// Values longer than a path buffer are not read at all: a cut folder or pack name would name
// another one.
constexpr DWORD kValueCharacters = MAX_PATH;

// The settings key's path is plain ASCII: widened character by character.
std::wstring SettingsKeyPath()
{
    return std::wstring(Settings::KeyPath, Settings::KeyPath + std::strlen(Settings::KeyPath));
}

bool ReadValue(HKEY key, const wchar_t* name, std::wstring& value)
{
    wchar_t buffer[kValueCharacters + 1] = {};
    DWORD type = 0;
    DWORD size = kValueCharacters * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value.assign(buffer, size / sizeof(wchar_t));
    // Stored with or without its terminator; the text ends at the first zero.
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value.size() < kValueCharacters;
}

}  // namespace

std::wstring LanguageName(std::wstring stored)
{
    std::wstring::size_type at = stored.find(L".ini");
    if (at != std::wstring::npos)
        stored.erase(at, 4);
    return stored.empty() ? L"English" : stored;
}

ModuleSettings ReadModuleSettings()
{
    ModuleSettings settings;
    AutoRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS)
        return settings;
    if (!ReadValue(key.Get(), L"AppPath", settings.appPath))
        settings.appPath.clear();
    std::wstring language;
    if (!ReadValue(key.Get(), L"Language", language))
        language.clear();
    settings.language = LanguageName(language);
    return settings;
}

}  // namespace shelvane
