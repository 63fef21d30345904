#include "common/CodePage.h"

#include <windows.h>

namespace CodePage {

bool Narrow(const std::wstring& wide, std::string& narrow)
{
    narrow.clear();
    if (wide.empty())
        return true;
    const int length = static_cast<int>(wide.size());
    // UTF-8 holds every character; the flag and the used-default report exist only for the
    // other code pages (UTF-8 refuses them).
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
    if (size <= 0)
        return false;
    narrow.resize(static_cast<size_t>(size));
    size = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &narrow[0], size, nullptr, utf8 ? nullptr : &usedDefault);
    if (size <= 0) {
        narrow.clear();
        return false;
    }
    narrow.resize(static_cast<size_t>(size));
    // The way back catches what the flag does not: an unpaired surrogate, a code page whose
    // default character is a real one, a name that only converts one way.
    return !usedDefault && Widen(narrow) == wide;
}

bool Narrow(const wchar_t* wide, std::string& narrow)
{
    return Narrow(std::wstring(wide ? wide : L""), narrow);
}

std::wstring Widen(const std::string& narrow)
{
    if (narrow.empty())
        return std::wstring();
    const int length = static_cast<int>(narrow.size());
    int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), length, &wide[0], size);
    if (size <= 0)
        return std::wstring();
    wide.resize(static_cast<size_t>(size));
    return wide;
}

}  // namespace CodePage
