// The base of every movie window: a dialog from a template whose movie host (control 1060) plays
// a movie from the installation's Skin folder. One dialog procedure stores `this` and hands
// window commands and movie commands to the derived class, which dispatches them through its
// tables. Modal dialogs run their own loop so that the input bound for the movie can be filtered
// before it is dispatched.
#pragma once

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

    // Set-up, when the window has been created; the focus goes to the movie's default button
    // (or the template's) afterwards.
    virtual void OnInitDialog() {}
    // A movie command from the movie host.
    virtual void OnFSCommand(const std::string& command, const std::string& args) = 0;
    // A command of the window system (buttons, Enter, Escape); true when it was handled.
    virtual bool OnCommand(int id, int code) = 0;
    // The window's context-help request; the result is the message's.
    virtual BOOL OnHelpInfo() { return FALSE; }
    // The movie did not load: show the template's own controls instead.
    virtual void ShowFallback() = 0;
    // Whether the movie's input is filtered (every movie window but the progress window).
    virtual bool FiltersMovieInput() const { return true; }

    // Loads AppPath\Skin\<file> into the movie host the way every movie window does.
    void LoadMovie(const char* file);
    bool MoviePlays() const;
    void EndDialog(INT_PTR result);
    void StartDragging();
    // Shows or hides a template control.
    void ShowItem(int id, bool show);
    // Puts the template's own controls in the movie's font.
    void UseMovieFont(const int* ids, size_t count);

    template <typename Dialog>
    struct MovieCommand {
        const char* name;
        void (Dialog::*handler)(const std::string& args);
    };
    template <typename Dialog>
    struct WindowCommand {
        int id;
        void (Dialog::*handler)();
    };

    // The first entry whose name matches, letter case ignored, handles the command.
    template <typename Dialog, size_t N>
    static bool Dispatch(Dialog* dialog, const MovieCommand<Dialog> (&table)[N], const std::string& command,
                         const std::string& args)
    {
        for (const MovieCommand<Dialog>& entry : table) {
            if (SameCommand(entry.name, command)) {
                (dialog->*entry.handler)(args);
                return true;
            }
        }
        return false;
    }
    template <typename Dialog, size_t N>
    static bool Dispatch(Dialog* dialog, const WindowCommand<Dialog> (&table)[N], int id)
    {
        for (const WindowCommand<Dialog>& entry : table) {
            if (entry.id == id) {
                (dialog->*entry.handler)();
                return true;
            }
        }
        return false;
    }

    CShockwaveFlash m_movie;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FinishInit();
    HWND MovieControl(int id, HWND given) const;

    int templateId_;
    HWND window_ = nullptr;
    bool modeless_ = false;
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
    HFONT fallbackFont_ = nullptr;
};
