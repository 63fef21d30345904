#include "lang/LanguagePack.h"

#include "common/Settings.h"

#include <vector>

namespace LanguagePack {

const char* const Section = "Quorlen Language Pack";

std::string PackPath(const std::string& appPath, const std::string& language)
{
    std::string path = appPath + "\\Lang\\" + language + ".ini";
    if (path.size() >= MAX_PATH)
        return std::string();
    return path;
}

std::string ReadText(const std::string& packPath, int key, const char* defaultText, DWORD bufferSize)
{
    if (packPath.empty() || bufferSize == 0)
        return defaultText;
    std::vector<char> buffer(bufferSize);
    std::string keyName = std::to_string(key);
    DWORD length = GetPrivateProfileStringA(Section, keyName.c_str(), defaultText, buffer.data(), bufferSize,
                                            packPath.c_str());
    if (length >= bufferSize)
        length = bufferSize - 1;
    return std::string(buffer.data(), length);
}

std::string LookupText(const std::string& appPath, const std::string& language, int key)
{
    return ReadText(PackPath(appPath, language), key, "Error", MessageBufferSize);
}

std::string ReadCaption(const std::string& language, int key, const char* defaultText, DWORD bufferSize)
{
    return ReadText(PackPath(Settings::ReadAppPath(""), language), key, defaultText, bufferSize);
}

void SetItemText(const std::string& language, int key, int controlId, const char* defaultText, HWND dialog)
{
    std::string text = ReadCaption(language, key, defaultText, ItemBufferSize);
    SetDlgItemTextA(dialog, controlId, text.c_str());  // a dialog without that control keeps its text
}

std::wstring PackPath(const std::wstring& appPath, const std::wstring& language)
{
    std::wstring path = appPath + L"\\Lang\\" + language + L".ini";
    if (path.size() >= MAX_PATH)
        return std::wstring();
    return path;
}

std::wstring ReadText(const std::wstring& packPath, int key, const wchar_t* defaultText, DWORD bufferSize)
{
    if (packPath.empty() || bufferSize == 0)
        return defaultText;
    std::vector<wchar_t> buffer(bufferSize);
    std::wstring keyName = std::to_wstring(key);
    std::wstring section(Section, Section + lstrlenA(Section));  // ASCII
    DWORD length = GetPrivateProfileStringW(section.c_str(), keyName.c_str(), defaultText, buffer.data(), bufferSize,
                                            packPath.c_str());
    if (length >= bufferSize)
        length = bufferSize - 1;
    return std::wstring(buffer.data(), length);
}

}  // namespace LanguagePack
