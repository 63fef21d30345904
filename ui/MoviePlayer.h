// The movie player: a child window class that plays a scene file (ui/SceneFormat.h) with standard
// Windows controls, keeps the movie's variables and reports the commands its buttons send to the
// parent window. Programs talk to it through CShockwaveFlash (ui/ShockwaveFlash.h), never
// directly; the messages below are that wrapper's wire.
#pragma once

#include <windows.h>

#include <string>

namespace MoviePlayer {

extern const char* const ClassName;

// Registers the window class once per process; dialog templates name it for their movie host.
bool Register();

// The whole of a file of at most `maxSize` bytes (movies, skins); false when it cannot be read
// or is larger.
bool ReadSmallFile(const char* path, size_t maxSize, std::string& text);

enum Message : UINT {
    SetMovie = WM_APP + 0x300,  // lParam: const char* path. Returns TRUE when the movie plays.
    SetScale,                   // lParam: const char* mode: "NoScale", "ShowAll", "ExactFit", "NoBorder"
    SetAlignMode,               // wParam: 1 left, 2 right, 4 top, 8 bottom (combinable)
    SetBackgroundColor,         // wParam: 0xRRGGBB
    GotoFrame,                  // wParam: frame number
    SetVariable,                // wParam: const char* name, lParam: const char* value
    GetVariable,                // wParam: const char* name, lParam: std::string* value
    GetReadyState,              // returns 4 when a movie plays, 0 when none could be loaded
    GetDefaultButton,           // returns the HWND of the current frame's default button, or 0
    CaptionChanged,             // the window the movie plays in has a new caption
};

// WM_NOTIFY code with which the player raises a movie command to its parent.
constexpr UINT NotifyFSCommand = 0x7A96;

struct FSCommandNotify {
    NMHDR header;
    const char* command;
    const char* args;
};

// Ready states, as the host reports them.
constexpr int ReadyStateNone = 0;
constexpr int ReadyStateComplete = 4;

}  // namespace MoviePlayer
