#include "ui/ShockwaveFlash.h"

#include "ui/MoviePlayer.h"

bool CShockwaveFlash::Attach(HWND dialog, int controlId)
{
    window_ = GetDlgItem(dialog, controlId);
    return window_ != nullptr;
}

// Without a host window every call below does nothing, as a missing control would.

void CShockwaveFlash::SetMovie(const std::string& path)
{
    SendMessageA(window_, MoviePlayer::SetMovie, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

void CShockwaveFlash::SetScale(const std::string& mode)
{
    SendMessageA(window_, MoviePlayer::SetScale, 0, reinterpret_cast<LPARAM>(mode.c_str()));
}

void CShockwaveFlash::SetAlignMode(long mode)
{
    SendMessageA(window_, MoviePlayer::SetAlignMode, static_cast<WPARAM>(mode), 0);
}

void CShockwaveFlash::SetBackgroundColor(long colour)
{
    SendMessageA(window_, MoviePlayer::SetBackgroundColor, static_cast<WPARAM>(colour), 0);
}

void CShockwaveFlash::GotoFrame(long frame)
{
    SendMessageA(window_, MoviePlayer::GotoFrame, static_cast<WPARAM>(frame), 0);
}

void CShockwaveFlash::SetVariable(const std::string& name, const std::string& value)
{
    SendMessageA(window_, MoviePlayer::SetVariable, reinterpret_cast<WPARAM>(name.c_str()),
                 reinterpret_cast<LPARAM>(value.c_str()));
}

std::string CShockwaveFlash::GetVariable(const std::string& name) const
{
    std::string value;
    SendMessageA(window_, MoviePlayer::GetVariable, reinterpret_cast<WPARAM>(name.c_str()),
                 reinterpret_cast<LPARAM>(&value));
    return value;
}

long CShockwaveFlash::GetReadyState() const
{
    if (!window_)
        return MoviePlayer::ReadyStateNone;
    return static_cast<long>(SendMessageA(window_, MoviePlayer::GetReadyState, 0, 0));
}

bool CShockwaveFlash::IsFSCommand(const NMHDR* header, std::string& command, std::string& args) const
{
    if (!header || !window_ || header->hwndFrom != window_ || header->code != MoviePlayer::NotifyFSCommand)
        return false;
    const auto* notify = reinterpret_cast<const MoviePlayer::FSCommandNotify*>(header);
    command = notify->command ? notify->command : "";
    args = notify->args ? notify->args : "";
    return true;
}
