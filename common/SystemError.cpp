#include "common/SystemError.h"

#include <windows.h>

#include <cstdio>

std::string SystemErrorText(unsigned long code)
{
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    if (length > 0)
        return std::string(text, length);
    char fallback[32];
    std::snprintf(fallback, sizeof(fallback), "Error %08lX", code & 0xFFFFFFFFul);
    return fallback;
}
