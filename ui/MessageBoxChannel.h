// Questions and notices in plain system message boxes, for a program without its dialogs.
#pragma once

#include "engine/UserChannel.h"

class MessageBoxChannel : public UserChannel {
public:
    int Ask(int style, const std::string& text, const std::string& title, bool big) override;
    void Alert(const std::string& text, const std::string& title) override;
    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) override;
    void PumpMessages() override;
};
