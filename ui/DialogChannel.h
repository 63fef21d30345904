// The engine's channel to a person at the screen: the warning dialogs, a stop-icon message box
// and the progress window.
#pragma once

#include "engine/UserChannel.h"

class DialogChannel : public UserChannel {
public:
    int Ask(int style, const std::string& text, const std::string& title, bool big) override;
    void Alert(const std::string& text, const std::string& title) override;
    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) override;
    void PumpMessages() override;
};
