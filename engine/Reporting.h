// The one policy by which the engine, the job runner and the actions behind the windows reach
// the user:
// - Report: a notice or question of the normal kind. A silent run logs it and takes the
//   positive answer; an interactive run asks in the warning dialog; a dialog that cannot be
//   shown answers Cancel (the channel's rule).
// - AskInPerson and NoticeInPerson: the few questions asked whatever the mode (the subfolder
//   questions of a job given "/F1" or "/R1", the Recycle Bin alert) and those asked only where
//   a person is known to sit (scheduling, the wiper's warning). Nobody to ask means Cancel.
// - Alert: the stop-icon message box, or the log in a silent run.
#pragma once

#include "engine/ShredContext.h"

#include <string>

Answer Report(ShredContext& context, WarningStyle style, const std::string& text,
              DialogSize size = DialogSize::Normal);

Answer AskInPerson(ShredContext& context, WarningStyle style, const std::string& text,
                   DialogSize size = DialogSize::Normal);
// The same with a title of its own instead of the application title.
Answer AskInPerson(ShredContext& context, WarningStyle style, const std::string& text, const std::string& title,
                   DialogSize size);

// The notice dialog in `mode`; true when it ends with OK, `*dontShowAgain` then holds its box.
bool NoticeInPerson(ShredContext& context, NoticeMode mode, const std::string& text, bool* dontShowAgain);

void Alert(ShredContext& context, const std::string& text);

// Makes `text` the log text and appends it to the shred log: how every silent message is kept.
void LogMessage(ShredContext& context, const std::string& text);

// A notice of start-up that is not about the job (a component missing, an old shell, a work
// folder an earlier wipe left): in a silent run a line of the log that does not take the place
// of the run's outcome, which still follows it; otherwise the warning dialog's notice.
void StartupNotice(ShredContext& context, const std::string& text);
