// Our own stand-ins for the skin and splash components of the main window.
// - CSkin reads Skin\skin.skn, a small text file that names the shapes a window may take, and
//   gives a window one of them as its outline (its window region).
// - CSplash shows Skin\Splash.spl, a scene file (data/Skin/FORMAT.txt), in a small window over
//   the main window while it starts. It takes no input and no focus, never waits for anything
//   and goes by itself after a moment; a splash that cannot be shown is simply not shown.
// The skin file's format is described in data/Skin/FORMAT.txt.
#pragma once

#include "ui/MovieDialog.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace SkinFile {

constexpr size_t MaxFileSize = 4096;
constexpr int MaxRadius = 40;  // dialog units

struct Element {
    std::string name;
    int radius = 0;  // of the corners, in dialog units; 0 for a plain rectangle
};

// Parses a skin file; on failure says why (with the line number) in `error`.
bool Parse(const std::string& text, std::vector<Element>& elements, std::string& error);

}  // namespace SkinFile

class CSkin {
public:
    // Reads the skin file; false when it is missing or malformed.
    bool Load(const std::string& path);
    // Gives `window` the outline of the element `name`: its client area with the element's
    // corners. False when the skin has no such element or the region cannot be set.
    bool Apply(HWND window, const std::string& name) const;

private:
    std::vector<SkinFile::Element> elements_;
};

class CSplash {
public:
    CSplash();
    ~CSplash();
    CSplash(const CSplash&) = delete;
    CSplash& operator=(const CSplash&) = delete;

    // The splash file to show.
    void SetFile(const std::string& path) { path_ = path; }
    // Shows the splash centred over `owner` for `milliseconds`; false when it cannot be shown.
    bool Show(HWND owner, unsigned milliseconds);
    // The splash window while it shows, else null.
    HWND Window() const;

private:
    class Popup;
    std::string path_;
    std::unique_ptr<Popup> popup_;
};
