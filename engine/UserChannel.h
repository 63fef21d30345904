// The engine's one way to reach a person: questions and notices in the warning dialogs, a plain
// stop message, and the progress window. The real dialogs are one implementation; tests script
// their own. Silent runs do not ask: the engine logs instead (engine/ShredLog.h).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Answers recorded by the warning dialogs.
enum Answer { AnswerPositive = 6, AnswerNo = 7, AnswerCancel = 2 };

// Styles of the warning dialogs: which buttons a question offers.
enum WarningStyle {
    StyleNotice = 0,         // OK
    StyleGoOnQuestion = 1,   // Continue / Stop
    StyleConfirm = 2,        // OK / Cancel
    StyleYesNoCancel = 3,    // Yes / No / Cancel
    StyleError = 4,          // OK
    StyleContinueStop = 5,   // Continue / Stop
    StyleYesNo = 6,          // Yes / No
};

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

// Modes of the notice dialog.
enum NoticeMode { NoticeOldShell = 0, NoticeRecycleBin = 1 };

class UserChannel {
public:
    virtual ~UserChannel() = default;

    // Shows `text` in the warning dialog (the big one when `big`) in a style, with `title`;
    // returns the answer: AnswerPositive, AnswerNo or AnswerCancel.
    virtual int Ask(int style, const std::string& text, const std::string& title, bool big = false) = 0;

    // A system message box with a stop icon.
    virtual void Alert(const std::string& text, const std::string& title) = 0;

    // Creates the progress window, hidden, owned by `parent` (may be null). Its cancel sets
    // `*stopRequest`. Returns null when the window cannot be created.
    virtual std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) = 0;

    // Lets the thread process every window message that is waiting, without blocking.
    virtual void PumpMessages() = 0;

    // The notice dialog with its do-not-show-again box, in a mode (NoticeOldShell or
    // NoticeRecycleBin). True when it ends with OK; `*dontShowAgain` then holds the box.
    // Until the notice dialog exists, the warning dialog asks in its place with the box unticked.
    virtual bool ShowNotice(int /*mode*/, const std::string& text, const std::string& title, bool* dontShowAgain)
    {
        *dontShowAgain = false;
        return Ask(StyleConfirm, text, title) == AnswerPositive;
    }
};
