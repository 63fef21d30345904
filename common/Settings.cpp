#include "common/Settings.h"

#include "common/ScopedWin.h"

#include <vector>

namespace Settings {

const char* const KeyPath = "Software\\Vantor Shredder\\Shred";

namespace {

// The key and its parents are created on first access, by readers too.
AutoRegKey OpenSettingsKey()
{
    AutoRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

}  // namespace

int ReadNumber(const char* name, int defaultValue)
{
    AutoRegKey key = OpenSettingsKey();
    if (!key)
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return static_cast<int>(value);
}

void WriteNumber(const char* name, int value)
{
    AutoRegKey key = OpenSettingsKey();
    if (!key)
        return;
    DWORD data = static_cast<DWORD>(value);
    RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));  // a failed write is lost
}

std::string ReadString(const char* name, const char* defaultValue)
{
    AutoRegKey key = OpenSettingsKey();
    if (!key)
        return defaultValue;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return defaultValue;
    // The value may change between the two queries; try again with the size it reports.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> data(size + 1);
        DWORD got = size;
        LONG result = RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (result == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return defaultValue;
        data[got < data.size() ? got : data.size() - 1] = '\0';
        return std::string(data.data());
    }
    return defaultValue;
}

void WriteString(const char* name, const std::string& value)
{
    AutoRegKey key = OpenSettingsKey();
    if (!key)
        return;
    RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));  // a failed write is lost
}

namespace {

// "C:\..." or "\\server\share...": a path that names the same place from any current folder.
bool IsFullPath(const std::string& path)
{
    bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                 path[1] == ':' && path[2] == '\\';
    bool share = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return drive || share;
}

}  // namespace

std::string ModuleFolder()
{
    HMODULE module = nullptr;
    // The module that holds this function: the program, or the component it is linked into.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ModuleFolder), &module))
        return std::string();
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder(path, length);
    std::string::size_type slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string ReadAppPath(const char* defaultValue)
{
    std::string path = ReadString("AppPath", "");
    if (!path.empty() && path.size() < MAX_PATH && IsFullPath(path)) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return path;
    }
    std::string own = ModuleFolder();
    return own.empty() ? defaultValue : own;
}

}  // namespace Settings
