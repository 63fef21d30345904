// The language-pack reader with the system's wide functions: a pack's text reaches the caller as
// the pack holds it, whatever the system code page (a pack in UTF-16 with its byte-order mark
// reads the same on every system). Used where the text goes on to a wide function, as the file
// manager's menu command does.
#pragma once

#include <windows.h>

#include <string>

namespace LanguagePack {

// AppPath + "\Lang\" + language + ".ini"; empty when that path does not fit a path buffer.
std::wstring PackPathW(const std::wstring& appPath, const std::wstring& language);

// The text of `key`, or `defaultText` when the pack, the section or the key is missing; cut to
// bufferSize - 1 characters.
std::wstring ReadTextW(const std::wstring& packPath, int key, const wchar_t* defaultText, DWORD bufferSize);

}  // namespace LanguagePack
