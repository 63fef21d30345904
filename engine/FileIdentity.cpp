#include "engine/FileIdentity.h"

#include "common/CodePage.h"
#include "common/ScopedWin.h"

#include <cwchar>

namespace {

using GetFinalPathFunc = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

GetFinalPathFunc FinalPathFunction()
{
    static GetFinalPathFunc function = [] {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        return kernel ? reinterpret_cast<GetFinalPathFunc>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "GetFinalPathNameByHandleW")))
                      : nullptr;
    }();
    return function;
}

// Opened for nothing but its attributes, shared with everyone; folders too.
AutoHandle OpenForQuery(const std::wstring& path, DWORD extraFlags = 0)
{
    return AutoHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | extraFlags, nullptr));
}

bool IdentityOfHandle(HANDLE file, FileIdentity& identity, DWORD* attributes = nullptr)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information))
        return false;
    identity.volume = information.dwVolumeSerialNumber;
    identity.indexHigh = information.nFileIndexHigh;
    identity.indexLow = information.nFileIndexLow;
    if (attributes)
        *attributes = information.dwFileAttributes;
    return true;
}

std::wstring ParentOf(const std::wstring& path)
{
    std::wstring::size_type slash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return std::wstring();
    // "C:\x" lies in "C:\", not in "C:" (the current folder of drive C).
    if (slash == 2 && path[1] == L':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && _wcsicmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

bool IdentityOf(const std::string& path, FileIdentity& identity)
{
    std::wstring wide = CodePage::Widen(path);
    if (wide.empty())
        return false;
    AutoHandle file = OpenForQuery(wide);
    return file && IdentityOfHandle(file.Get(), identity);
}

bool FinalPathOf(HANDLE file, std::wstring& path)
{
    GetFinalPathFunc finalPath = FinalPathFunction();
    if (!finalPath)
        return false;
    wchar_t buffer[1024];
    DWORD length = finalPath(file, buffer, 1024, 0);  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS
    if (length == 0 || length >= 1024)
        return false;
    path.assign(buffer, length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        path = path.substr(4);
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return true;
}

bool ReachedThroughLink(HANDLE file, const std::string& path)
{
    std::wstring wide = CodePage::Widen(path);
    std::wstring parent = ParentOf(wide);
    if (parent.empty())
        return false;
    std::wstring opened, folder;
    if (!FinalPathOf(file, opened))
        return false;
    AutoHandle parentHandle = OpenForQuery(parent);
    if (!parentHandle || !FinalPathOf(parentHandle.Get(), folder))
        return false;
    // The entry's own long name: `path` may be written with short names.
    WIN32_FIND_DATAW data;
    AutoFindHandle find(FindFirstFileW(wide.c_str(), &data));
    if (!find)
        return false;
    if (folder.back() != L'\\')
        folder += L'\\';
    return !SamePath(opened, folder + data.cFileName);
}

DWORD RemoveLinkItself(const std::string& path, bool directory)
{
    std::wstring wide = CodePage::Widen(path);
    if (wide.empty())
        return ERROR_INVALID_NAME;
    FileIdentity target;
    bool hasTarget = false;
    {
        AutoHandle followed = OpenForQuery(wide);
        hasTarget = followed && IdentityOfHandle(followed.Get(), target);
    }
    {
        AutoHandle link = OpenForQuery(wide, FILE_FLAG_OPEN_REPARSE_POINT);
        if (!link)
            return GetLastError() != 0 ? GetLastError() : ERROR_ACCESS_DENIED;
        FileIdentity itself;
        DWORD attributes = 0;
        if (!IdentityOfHandle(link.Get(), itself, &attributes))
            return GetLastError() != 0 ? GetLastError() : ERROR_ACCESS_DENIED;
        // What was opened is the target, not the link: removing "the link" would remove it.
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || (hasTarget && itself == target))
            return ERROR_NOT_SUPPORTED;
    }
    // Opened as itself, so the system knows links: its removal functions take the link alone.
    BOOL removed = directory ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    if (!removed)
        return GetLastError() != 0 ? GetLastError() : ERROR_ACCESS_DENIED;
    return 0;
}

std::string LinkTargetOf(const std::string& path)
{
    std::wstring wide = CodePage::Widen(path);
    if (wide.empty())
        return std::string();
    AutoHandle followed = OpenForQuery(wide);
    std::wstring final;
    if (!followed || !FinalPathOf(followed.Get(), final))
        return std::string();
    std::string narrow;
    if (!CodePage::Narrow(final, narrow))
        return std::string();  // a name this code page cannot hold cannot be checked by it either
    return narrow;
}
