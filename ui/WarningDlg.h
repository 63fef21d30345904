// The warning dialogs: every notice and question of the program, in one of seven styles, with
// the answer recorded process-wide. The big warning dialog is the same with more room for text.
#pragma once

#include "engine/UserChannel.h"

#include <windows.h>

#include <string>

// Shows `text` with `title` in the warning dialog of `size` in `style`, modally, owned by `owner`
// or else the application's main window. Returns the answer; a dialog that cannot be shown
// answers Cancel.
Answer ShowWarning(HWND owner, WarningStyle style, const std::string& text, const std::string& title,
                   DialogSize size = DialogSize::Normal);

// The answer of the warning dialog that ended last: positive, No or Cancel.
Answer LastWarningAnswer();
