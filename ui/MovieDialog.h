// The base of every movie window: a dialog from a template whose movie host (control 1060) plays
// a movie from the installation's Skin folder. One dialog procedure stores `this` and dispatches
// both the movie's commands and the window's own commands through the one command table of the
// derived class; no exception leaves it. Modal dialogs run their own loop so that the input bound
// for the movie can be filtered before it is dispatched. Callers use each dialog through one
// function that takes its inputs and returns its answer; they never see its window.
#pragma once

#include "common/ScopedWin.h"
#include "ui/ShockwaveFlash.h"

#include <windows.h>

#include <string>

// The application's help request, sent to its main window.
constexpr UINT WM_SHRED_HELP = 1227;

// The application's main window: owner of the modal dialogs and receiver of help requests.
void SetMainWindow(HWND window);
HWND MainWindow();

// Letter case ignored, as movie command names are compared (ASCII only, as the names are).
bool SameCommand(const char* a, const std::string& b);

class CMovieDialog {
public:
    explicit CMovieDialog(int templateId);
    virtual ~CMovieDialog();
    CMovieDialog(const CMovieDialog&) = delete;
    CMovieDialog& operator=(const CMovieDialog&) = delete;

    // Runs the dialog modally, owned by `owner` or else the application's main window. Returns
    // the ending, or -1 when the window could not be created.
    INT_PTR DoModal(HWND owner = nullptr);

    // Creates the dialog modeless and hidden; false when the window could not be created.
    bool Create(HWND parent);
    void DestroyWindow();
    HWND GetSafeHwnd() const { return window_; }

    // The filter that runs before a message for this dialog is dispatched; true when the message
    // has been handled and must not be dispatched.
    bool PreTranslateMessage(MSG& message);

    // Lets the open modeless dialogs handle their keyboard input (Tab, Enter, Escape).
    static bool IsModelessDialogMessage(MSG& message);

protected:
    static constexpr int MovieHostId = 1060;

    // One row of a dialog's command table: the movie command it answers (names compared without
    // regard to letter case; null for none), the window command it answers (0 for none), and the
    // handler, which receives the movie command's argument (empty for a window command).
    using Handler = void (CMovieDialog::*)(const std::string& args);
    struct Command {
        const char* movieCommand;
        int windowId;
        Handler handler;
    };
    struct CommandTable {
        const Command* rows;
        size_t count;
    };
    template <size_t N>
    static CommandTable Table(const Command (&rows)[N])
    {
        return {rows, N};
    }
    // A handler of a derived dialog as a row of its table.
    template <typename Dialog>
    static Handler On(void (Dialog::*handler)(const std::string&))
    {
        return static_cast<Handler>(handler);
    }

    // The dialog's commands: movie commands are tested in the table's order and the first match
    // is carried out; a name or id that matches nothing is ignored.
    virtual CommandTable Commands() const { return {nullptr, 0}; }
    // A movie command, and a window command (true when handled): by default through the table.
    virtual void OnFSCommand(const std::string& command, const std::string& args);
    virtual bool OnCommand(int id);

    // Set-up, when the window has been created; the focus goes to the movie's default button
    // (or the template's) afterwards.
    virtual void OnInitDialog() {}
    // The window's context-help request; the result is the message's.
    virtual BOOL OnHelpInfo() { return FALSE; }
    // The movie did not load: show the template's own controls instead.
    virtual void ShowFallback() = 0;
    // Whether the movie's input is filtered (every movie window but the progress window).
    virtual bool FiltersMovieInput() const { return true; }
    // Any other message, before the base handles it: true when handled, with its result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // The movie the window talks to: its own host, unless a derived window was given another.
    virtual MovieHost& ActiveMovie() { return m_movie; }
    virtual const MovieHost& ActiveMovie() const { return m_movie; }

    // Loads AppPath\Skin\<file> into the movie host the way every movie window does.
    void LoadMovie(const char* file);
    bool MoviePlays() const;
    void EndDialog(INT_PTR result);
    bool Ended() const { return ended_; }
    void StartDragging();
    // The handler of "IDC_FS_Drag", the same in every movie window.
    void OnDrag(const std::string&) { StartDragging(); }
    // Shows or hides a template control.
    void ShowItem(int id, bool show);
    // Puts the template's own controls in the movie's font.
    void UseMovieFont(const int* ids, size_t count);

    CShockwaveFlash m_movie;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR DispatchDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FinishInit();
    HWND MovieControl(int id, HWND given) const;

    int templateId_;
    HWND window_ = nullptr;
    bool modeless_ = false;
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
    AutoGdiObject fallbackFont_;
};
