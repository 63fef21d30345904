#include "lang/WidePackReader.h"

#include "lang/LanguagePack.h"

#include <cstring>
#include <vector>

namespace LanguagePack {

std::wstring PackPathW(const std::wstring& appPath, const std::wstring& language)
{
    std::wstring path = appPath + L"\\Lang\\" + language + L".ini";
    if (path.size() >= MAX_PATH)
        return std::wstring();
    return path;
}

std::wstring ReadTextW(const std::wstring& packPath, int key, const wchar_t* defaultText, DWORD bufferSize)
{
    if (packPath.empty() || bufferSize == 0)
        return defaultText;
    // The section's name is plain ASCII: widened character by character.
    std::wstring section(Section, Section + std::strlen(Section));
    std::wstring keyName = std::to_wstring(key);
    std::vector<wchar_t> buffer(bufferSize);
    DWORD length = GetPrivateProfileStringW(section.c_str(), keyName.c_str(), defaultText, buffer.data(), bufferSize,
                                            packPath.c_str());
    if (length >= bufferSize)
        length = bufferSize - 1;
    return std::wstring(buffer.data(), length);
}

}  // namespace LanguagePack
