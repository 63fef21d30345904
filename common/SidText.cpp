#include "common/SidText.h"

#include "common/ScopedWin.h"

#include <cstdio>

bool FormatSidText(PSID sid, std::string& text, DWORD room, DWORD* needed, DWORD* error)
{
    if (!sid || !IsValidSid(sid)) {
        *error = ERROR_INVALID_SID;
        return false;
    }
    DWORD subCount = *GetSidSubAuthorityCount(sid);
    DWORD required = 28 + 12 * subCount;
    if (room < required) {
        *needed = required;
        *error = ERROR_INSUFFICIENT_BUFFER;
        return false;
    }

    char part[40];
    text = "S-1-";  // the revision is always written as 1
    const SID_IDENTIFIER_AUTHORITY* authority = GetSidIdentifierAuthority(sid);
    const BYTE* v = authority->Value;
    if (v[0] != 0 || v[1] != 0) {
        std::snprintf(part, sizeof(part), "0x%02x%02x%02x%02x%02x%02x", v[0], v[1], v[2], v[3], v[4], v[5]);
    } else {
        unsigned long value = (static_cast<unsigned long>(v[2]) << 24) | (static_cast<unsigned long>(v[3]) << 16) |
                              (static_cast<unsigned long>(v[4]) << 8) | v[5];
        std::snprintf(part, sizeof(part), "%lu", value);
    }
    text += part;
    for (DWORD i = 0; i < subCount; ++i) {
        std::snprintf(part, sizeof(part), "-%lu", static_cast<unsigned long>(*GetSidSubAuthority(sid, i)));
        text += part;
    }
    return true;
}

int ReadUserSidText(std::string& text)
{
    AutoHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_READ, token.Receive()))
        return SidTokenFailed;
    alignas(TOKEN_USER) BYTE buffer[1000];
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer, sizeof(buffer), &size))
        return SidInfoFailed;
    DWORD needed = 0;
    DWORD error = 0;
    if (!FormatSidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, text, MAX_PATH, &needed, &error))
        return SidFormatFailed;
    return SidOk;
}
