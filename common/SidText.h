// The current user's security identifier as text, in the form the Recycle Bin folders use:
// "S-1-", the authority (decimal, or "0x" and twelve lower-case hexadecimal digits when it does
// not fit 32 bits), then "-" and each sub-authority in decimal.
#pragma once

#include <windows.h>

#include <string>

// Formats `sid` into `text`, which has room for `room` characters including the terminator.
// Fails with ERROR_INVALID_SID for an invalid identifier, or with ERROR_INSUFFICIENT_BUFFER
// and the room needed in `needed` when 28 + 12 per sub-authority characters do not fit.
bool FormatSidText(PSID sid, std::string& text, DWORD room, DWORD* needed, DWORD* error);

// Failure codes of the start-up step that reads the user's identifier.
enum UserSidFailure { SidOk = 0, SidTokenFailed = 1, SidInfoFailed = 2, SidFormatFailed = 3 };

// Reads the process token's user and formats it; returns SidOk or the failure code.
int ReadUserSidText(std::string& text);
