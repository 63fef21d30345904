// The movie host of every movie window: a thin wrapper over the movie player control of a dialog
// (control 1060). Its members are the host's automation members the program uses; the movie's
// commands arrive as FSCommand events, which the owning dialog receives in OnFSCommand.
#pragma once

#include <windows.h>

#include <string>

class CShockwaveFlash {
public:
    CShockwaveFlash() = default;

    // Binds the wrapper to the dialog's movie host control; false when the dialog has none.
    bool Attach(HWND dialog, int controlId);
    HWND GetSafeHwnd() const { return window_; }

    void SetMovie(const std::string& path);
    void SetScale(const std::string& mode);
    void SetAlignMode(long mode);
    void SetBackgroundColor(long colour);  // 0xRRGGBB
    void GotoFrame(long frame);
    void SetVariable(const std::string& name, const std::string& value);
    std::string GetVariable(const std::string& name) const;
    // 4 once the movie has loaded completely; anything else means no movie plays.
    long GetReadyState() const;

    // The FSCommand event: true when `header` is this host's movie command, with its two strings.
    bool IsFSCommand(const NMHDR* header, std::string& command, std::string& args) const;

private:
    HWND window_ = nullptr;
};
