// DllRegisterServer and DllUnregisterServer, both driven by one table of the keys and values an
// in-process automation server needs: unregistering removes exactly what registering wrote.
#include "Module.h"
#include "common/ScopedWin.h"

#include <windows.h>

#include <new>
#include <string>

namespace taskmere {
namespace {

#define LIBID_TEXT L"{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}"
#define PROXY_STUB L"{00020424-0000-0000-C000-000000000046}"  // the type library marshaler
#ifdef _WIN64
#define TYPELIB_PLATFORM L"win64"
#else
#define TYPELIB_PLATFORM L"win32"
#endif

// Placeholders in the data column, filled in when the table is written.
constexpr const wchar_t* kModulePath = L"<module>";
constexpr const wchar_t* kModuleFolder = L"<folder>";

struct RegistryEntry {
    const wchar_t* key;    // below HKEY_CLASSES_ROOT
    const wchar_t* name;   // null: the key's default value
    const wchar_t* data;   // null: the key only
};

#define SERVER_CLASS(clsid, title)                                              \
    {L"CLSID\\" clsid, nullptr, title},                                         \
    {L"CLSID\\" clsid L"\\InprocServer32", nullptr, kModulePath},               \
    {L"CLSID\\" clsid L"\\InprocServer32", L"ThreadingModel", L"Apartment"},    \
    {L"CLSID\\" clsid L"\\TypeLib", nullptr, LIBID_TEXT},                       \
    {L"CLSID\\" clsid L"\\VERSION", nullptr, L"1.0"}

#define DUAL_INTERFACE(iid, name)                                               \
    {L"Interface\\" iid, nullptr, name},                                        \
    {L"Interface\\" iid L"\\ProxyStubClsid", nullptr, PROXY_STUB},              \
    {L"Interface\\" iid L"\\ProxyStubClsid32", nullptr, PROXY_STUB},            \
    {L"Interface\\" iid L"\\TypeLib", nullptr, LIBID_TEXT},                     \
    {L"Interface\\" iid L"\\TypeLib", L"Version", L"1.0"}

// Parents come before their children: registering walks the table forwards, unregistering
// backwards, removing each key once it holds nothing.
const RegistryEntry kEntries[] = {
    SERVER_CLASS(L"{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}", L"TaskScheduler.Schedule"),
    {L"CLSID\\{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}\\ProgID", nullptr, L"TaskScheduler.Schedule"},
    SERVER_CLASS(L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}", L"TaskScheduler.Job"),
    SERVER_CLASS(L"{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}", L"TaskScheduler.Triggers"),
    SERVER_CLASS(L"{3A041F1F-A2AC-4453-A057-829C89692083}", L"TaskScheduler.Trigger"),
    {L"TaskScheduler.Schedule", nullptr, L"TaskScheduler.Schedule"},
    {L"TaskScheduler.Schedule\\CLSID", nullptr, L"{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}"},
    {L"TypeLib\\" LIBID_TEXT, nullptr, nullptr},
    {L"TypeLib\\" LIBID_TEXT L"\\1.0", nullptr, L"Vantor Task Scheduler Class v1.01"},
    {L"TypeLib\\" LIBID_TEXT L"\\1.0\\FLAGS", nullptr, L"0"},
    {L"TypeLib\\" LIBID_TEXT L"\\1.0\\HELPDIR", nullptr, kModuleFolder},
    {L"TypeLib\\" LIBID_TEXT L"\\1.0\\409", nullptr, nullptr},
    {L"TypeLib\\" LIBID_TEXT L"\\1.0\\409\\" TYPELIB_PLATFORM, nullptr, kModulePath},
    DUAL_INTERFACE(L"{67A0279B-3337-4BC2-AA79-56C802EAA72F}", L"_Schedule"),
    DUAL_INTERFACE(L"{24919A8D-2502-49CA-B37B-C348EE6E708C}", L"_Job"),
    DUAL_INTERFACE(L"{9B739684-14D2-447F-865E-28E21576139A}", L"_Triggers"),
    DUAL_INTERFACE(L"{897B5A9B-25C7-4C20-BD6A-C13EA4397A6A}", L"_Trigger"),
};

#undef SERVER_CLASS
#undef DUAL_INTERFACE

HRESULT ModulePaths(std::wstring* path, std::wstring* folder)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(ModuleHandle(), buffer, MAX_PATH);
    if (length == 0)
        return HRESULT_FROM_WIN32(GetLastError());
    if (length >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    path->assign(buffer, length);
    size_t slash = path->find_last_of(L"\\/");
    folder->assign(*path, 0, slash == std::wstring::npos ? 0 : slash);
    return S_OK;
}

HRESULT WriteEntry(const RegistryEntry& entry, const std::wstring& path, const std::wstring& folder)
{
    AutoRegKey key;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    if (!entry.data)
        return S_OK;
    const wchar_t* data = entry.data == kModulePath     ? path.c_str()
                          : entry.data == kModuleFolder ? folder.c_str()
                                                        : entry.data;
    DWORD size = static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key.Get(), entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), size);
    return HRESULT_FROM_WIN32(status);
}

// Removes the entry's value, then the key itself once no value and no subkey is left in it.
HRESULT RemoveEntry(const RegistryEntry& entry)
{
    AutoRegKey key;
    LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, entry.key, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                key.Receive());
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;  // already gone
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    if (entry.data) {
        status = RegDeleteValueW(key.Get(), entry.name);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(status);
    }
    DWORD subkeys = 0, values = 0;
    status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                              &values, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    key.Reset();
    if (subkeys != 0 || values != 0)
        return S_OK;  // something else lives here, or a later entry of ours still does
    status = RegDeleteKeyW(HKEY_CLASSES_ROOT, entry.key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return HRESULT_FROM_WIN32(status);
    return S_OK;
}

HRESULT UnregisterAll()
{
    HRESULT result = S_OK;
    // Every entry is tried, so one stubborn key does not leave the rest behind.
    for (size_t i = sizeof(kEntries) / sizeof(kEntries[0]); i-- > 0;) {
        HRESULT hr = RemoveEntry(kEntries[i]);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}

HRESULT RegisterAll()
{
    std::wstring path, folder;
    HRESULT hr = ModulePaths(&path, &folder);
    if (FAILED(hr))
        return hr;
    for (const RegistryEntry& entry : kEntries) {
        hr = WriteEntry(entry, path, folder);
        if (FAILED(hr)) {
            UnregisterAll();  // no half registration; the first failure is the one reported
            return hr;
        }
    }
    return S_OK;
}

}  // namespace
}  // namespace taskmere

extern "C" {

STDAPI DllRegisterServer()
{
    try {
        return taskmere::RegisterAll();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer()
{
    return taskmere::UnregisterAll();
}

}  // extern "C"
