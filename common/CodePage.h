// Text between the wide (UTF-16) form the system keeps names in and the program's 8-bit form in
// its code page (UTF-8 where the program's manifest is honoured, a legacy code page elsewhere).
// A legacy code page cannot hold every character, and the system's own conversion then puts in
// a look-alike ("best fit": U+FF3C becomes '\'); these conversions never do, and say whether
// the text came through exactly.
#pragma once

#include <string>

namespace CodePage {

// `wide` in the program's code page. True when it converts exactly and back again; otherwise
// `narrow` holds '?' for each character the code page lacks (never a look-alike) and the
// result is false.
bool Narrow(const std::wstring& wide, std::string& narrow);
// The same for a counted text, such as a fixed field of a system record.
bool Narrow(const wchar_t* wide, std::string& narrow);

// `narrow` (in the program's code page) as UTF-16; empty when it is not valid there.
std::wstring Widen(const std::string& narrow);

}  // namespace CodePage
