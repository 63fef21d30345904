// The engine's channel to a person at the screen: the warning dialogs, a stop-icon message box,
// the notice and the progress window.
#pragma once

#include "engine/UserChannel.h"

class DialogChannel : public UserChannel {
public:
    // `clock` gives milliseconds, as GetTickCount does; tests give their own.
    explicit DialogChannel(DWORD(WINAPI* clock)() = GetTickCount);

    Answer Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size) override;
    void Alert(const std::string& text, const std::string& title) override;
    bool ShowNotice(NoticeMode mode, const std::string& text, const std::string& title, bool* dontShowAgain) override;
    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) override;

    // The engine calls this after every block it writes. Asking the system whether a message
    // waits costs a round trip to Wine's server (some 70 microseconds after a write, longer than
    // the block took), so the queue is drained only when the last drain is DrainInterval old or
    // more; a click waits at most that long, and a stop it sets is seen before the next block.
    void PumpMessages() override;
    static constexpr DWORD DrainInterval = 10;  // milliseconds

    // Processes every message that is waiting, now, without blocking.
    void DrainQueue();

private:
    DWORD(WINAPI* clock_)();
    DWORD lastDrain_;
};
