// The movie host of every movie window: a thin wrapper over the movie player control of a dialog
// (control 1060). Its members are the host's automation members the program uses; the movie's
// commands arrive as FSCommand events, which the owning dialog receives in OnFSCommand.
#pragma once

#include "ui/MovieHost.h"

#include <windows.h>

#include <string>

class CShockwaveFlash : public MovieHost {
public:
    CShockwaveFlash() = default;

    // Binds the wrapper to the dialog's movie host control; false when the dialog has none.
    bool Attach(HWND dialog, int controlId);
    HWND GetSafeHwnd() const { return window_; }

    void SetMovie(const std::string& path) override;
    void SetScale(const std::string& mode) override;
    void SetAlignMode(long mode) override;
    void SetBackgroundColor(long colour) override;
    void GotoFrame(long frame) override;
    void SetVariable(const std::string& name, const std::string& value) override;
    std::string GetVariable(const std::string& name) const override;
    long GetReadyState() const override;

    // The FSCommand event: true when `header` is this host's movie command, with its two strings.
    bool IsFSCommand(const NMHDR* header, std::string& command, std::string& args) const;

private:
    HWND window_ = nullptr;
};
