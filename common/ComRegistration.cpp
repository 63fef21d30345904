#include "common/ComRegistration.h"

#include "common/ScopedWin.h"

#include <cwchar>

namespace com {

std::wstring Expand(const wchar_t* text, const Placeholders& placeholders)
{
    std::wstring result;
    if (!text)
        return result;
    for (const wchar_t* at = text; *at;) {
        const Placeholder* found = nullptr;
        for (const Placeholder& placeholder : placeholders) {
            size_t length = wcslen(placeholder.marker);
            if (length > 0 && wcsncmp(at, placeholder.marker, length) == 0) {
                found = &placeholder;
                break;
            }
        }
        if (found) {
            result += found->value;
            at += wcslen(found->marker);
        } else {
            result += *at++;
        }
    }
    return result;
}

bool IsNtPlatform()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool AppliesHere(const RegistryEntry& entry)
{
    return !(entry.flags & EntryNtOnly) || IsNtPlatform();
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40];
    int length = StringFromGUID2(guid, text, 40);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

bool ModulePath(HMODULE module, std::wstring& path, std::wstring& folder)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    path.assign(buffer, length);
    size_t slash = path.find_last_of(L"\\/");
    folder.assign(path, 0, slash == std::wstring::npos ? 0 : slash);
    return true;
}

HRESULT WriteEntry(const RegistryEntry& entry, const Placeholders& placeholders)
{
    std::wstring keyName = Expand(entry.key, placeholders);
    AutoRegKey key;
    LONG status = RegCreateKeyExW(entry.root, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                  nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    if (!entry.data)
        return S_OK;
    std::wstring name = Expand(entry.name, placeholders);
    std::wstring data = Expand(entry.data, placeholders);
    status = RegSetValueExW(key.Get(), entry.name ? name.c_str() : nullptr, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

HRESULT RemoveEntry(const RegistryEntry& entry, const Placeholders& placeholders)
{
    std::wstring keyName = Expand(entry.key, placeholders);
    AutoRegKey key;
    LONG status = RegOpenKeyExW(entry.root, keyName.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Receive());
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    if (entry.data) {
        std::wstring name = Expand(entry.name, placeholders);
        status = RegDeleteValueW(key.Get(), entry.name ? name.c_str() : nullptr);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(status);
    }
    if (entry.flags & EntrySharedKey)
        return S_OK;
    DWORD subkeys = 0, values = 0;
    status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                              nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    key.Reset();
    if (subkeys != 0 || values != 0)
        return S_OK;  // something else lives here, or an entry not yet removed still does
    status = RegDeleteKeyW(entry.root, keyName.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return HRESULT_FROM_WIN32(status);
    return S_OK;
}

HRESULT UnregisterTable(const RegistryEntry* entries, size_t count, const Placeholders& placeholders)
{
    HRESULT result = S_OK;
    for (size_t i = count; i-- > 0;) {
        if (!AppliesHere(entries[i]))
            continue;
        HRESULT hr = RemoveEntry(entries[i], placeholders);
        if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
            continue;
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}

HRESULT RegisterTable(const RegistryEntry* entries, size_t count, const Placeholders& placeholders)
{
    for (size_t i = 0; i < count; ++i) {
        if (!AppliesHere(entries[i]))
            continue;
        HRESULT hr = WriteEntry(entries[i], placeholders);
        if (FAILED(hr)) {
            UnregisterTable(entries, count, placeholders);  // no half registration; the first failure is reported
            return hr;
        }
    }
    return S_OK;
}

}  // namespace com
