// The system's own words for an error code, as messages quote them.
#pragma once

#include <string>

// The system's description of `code` in the user's language, without its trailing line end;
// "Error" and the code in eight hexadecimal digits when the system has no text for it.
std::string SystemErrorText(unsigned long code);
