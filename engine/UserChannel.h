// The engine's one way to reach a person: questions and notices in the warning dialogs, a plain
// stop message, the notice dialog and the progress window. The real dialogs are one
// implementation; tests script their own. The rules of when to ask at all (silent runs log
// instead) are engine/Reporting.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Answers recorded by the warning dialogs; the numbers are the ones the dialogs record.
enum class Answer { Positive = 6, No = 7, Cancel = 2 };

// Styles of the warning dialogs: which buttons a question offers. The number is the movie's frame.
enum class WarningStyle {
    Notice = 0,         // OK
    GoOnQuestion = 1,   // Continue / Stop
    Confirm = 2,        // OK / Cancel
    YesNoCancel = 3,    // Yes / No / Cancel
    Error = 4,          // OK
    ContinueStop = 5,   // Continue / Stop
    YesNo = 6,          // Yes / No
};

// The warning dialog, or the big one with more room for the text.
enum class DialogSize { Normal, Big };

// Modes of the notice dialog.
enum class NoticeMode { OldShell = 0, RecycleBin = 1 };

// The progress window of a run: three lines of text, a caption and a bar.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void ShowAndEnable() = 0;
    virtual void SetLine(int line, const std::string& text) = 0;  // line 1, 2 or 3
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetRange(long long maximum) = 0;
    virtual void SetPosition(long long position) = 0;
    virtual void Repaint() = 0;
};

class UserChannel {
public:
    virtual ~UserChannel() = default;

    // Shows `text` in the warning dialog of `size` in a style, with `title`; returns the answer.
    // A dialog that cannot be shown answers Cancel.
    virtual Answer Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size) = 0;

    // A system message box with a stop icon.
    virtual void Alert(const std::string& text, const std::string& title) = 0;

    // The notice dialog with its do-not-show-again box, in a mode. True when it ends with OK;
    // `*dontShowAgain` then holds the box.
    virtual bool ShowNotice(NoticeMode mode, const std::string& text, const std::string& title,
                            bool* dontShowAgain) = 0;

    // Creates the progress window, hidden, owned by `parent` (may be null). Its cancel sets
    // `*stopRequest`. Returns null when the window cannot be created.
    virtual std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) = 0;

    // Lets the thread process every window message that is waiting, without blocking.
    virtual void PumpMessages() = 0;
};
