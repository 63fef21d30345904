// The engine's channel to a person at the screen: the warning dialogs, a stop-icon message box,
// the notice and the progress window.
#pragma once

#include "engine/UserChannel.h"

class DialogChannel : public UserChannel {
public:
    Answer Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size) override;
    void Alert(const std::string& text, const std::string& title) override;
    bool ShowNotice(NoticeMode mode, const std::string& text, const std::string& title, bool* dontShowAgain) override;
    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) override;
    void PumpMessages() override;
};
