// The file manager's Shred command without COM: the selection, the menu text and the handover
// of the selection to the program. The COM handler wraps one ShredMenu; tests drive it directly.
//
// The selection reaches the program as one command line: every path in quotation marks,
// separated by single spaces, then a space and one lone quotation mark. Nothing is cut: a path
// too long for the program's path buffers is left out, and a selection too long for one command
// line is not handed over at all; the user is told either before anything starts.
#pragma once

#include "ModuleSettings.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace shelvane {

// Language keys of the command (the menu text is also the title of its messages).
constexpr int kMenuTextKey = 9606;
constexpr int kPathsLeftOutKey = 9090;     // "%s": the paths left out, one a line
constexpr int kSelectionTooLargeKey = 9091;  // "%u": how many items fit, "%t": how many were selected

constexpr DWORD kMenuTextBufferSize = 200;  // at most 199 characters
// Paths of this length or longer do not fit the program's path buffers.
constexpr size_t kPathLimit = MAX_PATH;
// The longest command line the system starts a program with, its terminator included.
constexpr size_t kCommandLineLimit = 32767;

// Where the user meets the command: its messages and the start of the program.
class MenuActions {
public:
    virtual ~MenuActions() = default;
    virtual void Tell(const std::wstring& text, const std::wstring& title) = 0;
    // Starts `program` with `parameters` in the working folder `folder`; false when it could not.
    virtual bool Start(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) = 0;
};

// What became of a choice of the command.
enum class Handover {
    NothingSelected,   // an empty selection, or one whose every path was left out
    NoInstallation,    // the installation folder is not known: there is no program to start
    TooLarge,          // the selection does not fit one command line; the user was told
    NotStarted,        // the program could not be started
    Started,
};

// The parameter text for `paths`.
std::wstring ParameterText(const std::vector<std::wstring>& paths);

// The paths of a file-drop block, in its order, each read whole (paths that cannot be read are
// skipped).
std::vector<std::wstring> ReadDroppedPaths(HDROP drop);

class ShredMenu {
public:
    explicit ShredMenu(ModuleSettings settings);

    void SetSelection(std::vector<std::wstring> paths) { selection_ = std::move(paths); }
    void ClearSelection() { selection_.clear(); }
    const std::vector<std::wstring>& Selection() const { return selection_; }

    // The command's text in the menu, from the user's language pack.
    std::wstring MenuText() const;
    // The program: Nullwright.exe in the installation folder; empty when the folder is not known.
    std::wstring ProgramPath() const;

    // Hands the selection to the program, telling the user through `actions` what is left out.
    Handover Run(MenuActions& actions) const;

private:
    std::wstring Text(int key, const wchar_t* defaultText, DWORD bufferSize) const;

    ModuleSettings settings_;
    std::vector<std::wstring> selection_;
};

}  // namespace shelvane
