// Language packs: INI files named after the language in the installation's Lang folder, one
// section, texts keyed by decimal numbers. Every read opens the pack anew; nothing is cached.
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

}  // namespace LanguagePack
