// The notice dialog: a plain message (no movie) with a do-not-show-again box. It serves the
// old-shell notice of start-up and the alert before the Recycle Bin is shredded; its opener
// gives it the text of its mode.
#pragma once

#include <windows.h>

#include <string>

// Shows `text` with `title` as caption, modally, owned by `owner` or else the application's main
// window. True when it ends with OK; `*dontShowAgain` then holds the box (false otherwise).
bool ShowShellNotice(HWND owner, const std::string& text, const std::string& title, bool* dontShowAgain);

// The text of the old-shell notice: key 11000 of the current pack, or its English default.
std::string OldShellNoticeText(const std::string& appPath, const std::string& language);
