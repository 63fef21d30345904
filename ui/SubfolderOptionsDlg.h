// The subfolder options dialog: edits the two subfolder policies (0 never, 1 prompt, 2 always).
#pragma once

#include <windows.h>

#include <string>

struct SubfolderPolicies {
    int contents = 0;  // shred the contents of subfolders
    int removal = 0;   // remove subfolders after shredding
};

// Runs the dialog modally with `policies`, owned by `owner` or else the application's main
// window. True when it ends with OK; `policies` then holds the values chosen (the movie's text
// forms read back as numbers). Any other ending leaves `policies` as it was.
bool EditSubfolderPolicies(HWND owner, SubfolderPolicies& policies);

// The leading decimal digits of `text`, as the movie's text forms are read back; no digits give 0.
int PolicyFromText(const std::string& text);
