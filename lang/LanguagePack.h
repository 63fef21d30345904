// Language packs: INI files named after the language in the installation's Lang folder, one
// section, texts keyed by decimal numbers. Every read opens the pack anew; nothing is cached.
//
// A pack whose texts are all ASCII may be plain 8-bit text. A pack with any other character is
// UTF-16 (little-endian, with its byte-order mark): the system's INI reader then converts each
// text to the reader's own code page, so every reader reads the same text, whatever its code
// page (without the mark each would read the bytes in its own; a UTF-8 mark is not understood
// by Windows and breaks the first section).
#pragma once

#include <windows.h>

#include <string>

namespace LanguagePack {

extern const char* const Section;  // "Quorlen Language Pack"

// Buffer sizes of the readers, terminator included: texts longer than size - 1 are cut.
constexpr DWORD MessageBufferSize = 2000;
constexpr DWORD ItemBufferSize = 500;
constexpr DWORD TitleBufferSize = 200;
constexpr DWORD CaptionBufferSize = 100;

// AppPath + "\Lang\" + language + ".ini"; empty when that path does not fit a path buffer.
std::string PackPath(const std::string& appPath, const std::string& language);

// The text of `key`, or `defaultText` when the pack, the section or the key is missing.
std::string ReadText(const std::string& packPath, int key, const char* defaultText, DWORD bufferSize);

// A message text: fallback "Error".
std::string LookupText(const std::string& appPath, const std::string& language, int key);

// A caption read with the settings' AppPath taken anew, in a buffer of `bufferSize`.
std::string ReadCaption(const std::string& language, int key, const char* defaultText, DWORD bufferSize);

// Sets the text of a dialog's control from `key` (buffer of 500 bytes, built-in default).
void SetItemText(const std::string& language, int key, int controlId, const char* defaultText, HWND dialog);

// The same reads in UTF-16, for a reader that lives in another program's code page (the
// context-menu extension runs in the file manager's): the text exactly as the pack holds it.
std::wstring PackPath(const std::wstring& appPath, const std::wstring& language);
std::wstring ReadText(const std::wstring& packPath, int key, const wchar_t* defaultText, DWORD bufferSize);

}  // namespace LanguagePack
