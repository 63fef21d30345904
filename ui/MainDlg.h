// The main window: a fixed-size dialog whose whole client area is the main movie
// (Skin\VantorShredder.swf). It sets the movie up, carries out the movie's commands through one
// table (first match wins, letter case ignored, unknown names ignored), mostly by calling the
// pages of ui/ItemPages.h, and tells the movie the results through its variables. It is the
// engine's parent window and the application's main window while it is open.
//
// The scheduling commands go to the scheduling front end (ui/ScheduleFrontEnd.h), which the
// application hands over; the window looks the movie's task names up in its task list and
// shows the list the front end read.
#pragma once

#include "engine/ItemShredder.h"
#include "engine/ShredContext.h"
#include "ui/DocumentOpener.h"
#include "ui/ItemPages.h"
#include "ui/MovieDialog.h"
#include "ui/MovieHost.h"
#include "ui/ScheduleFrontEnd.h"
#include "ui/Skin.h"

#include <string>

// What the main window works with besides the engine's context; null means the real one.
struct MainWindowSeams {
    JobActions* shredders = nullptr;
    ItemDialogs* dialogs = nullptr;
    DocumentOpener* opener = nullptr;
    MovieHost* movie = nullptr;           // the window's own movie host
    ScheduleFrontEnd* schedule = nullptr;  // null: nothing can be scheduled
};

class CMainDlg : public CMovieDialog {
public:
    explicit CMainDlg(ShredContext& context, const MainWindowSeams& seams = MainWindowSeams());

    // How long the splash stays at most.
    static constexpr unsigned SplashMilliseconds = 900;

    // A shred run started from the window is in progress (its commands pump messages).
    bool RunInProgress() const { return running_; }

    PageSupport m_support;
    CMyPropertyPage1 m_page1;  // method and pass count
    CMyPropertyPage2 m_page2;  // files
    CMyPropertyPage3 m_page3;  // folders
    CMyPropertyPage4 m_page4;  // a drive's free space
    CMyPropertyPage5 m_page5;  // the Recycle Bin
    CMyPropertyPage6 m_page6;  // scheduled tasks

protected:
    CommandTable Commands() const override;
    void OnFSCommand(const std::string& command, const std::string& args) override;
    void OnInitDialog() override;
    void ShowFallback() override;
    BOOL OnHelpInfo() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    MovieHost& ActiveMovie() override;
    const MovieHost& ActiveMovie() const override;

private:
    class RunScope;

    void OnClose(const std::string&);
    void OnMinimize(const std::string&);
    void OnHelp(const std::string&);
    void OnAbout(const std::string&);
    void OnQuickShred(const std::string&);
    void OnThoroughShred(const std::string& args);
    void OnBrowseFiles(const std::string&);
    void OnRemoveFile(const std::string& args);
    void OnRemoveAllFiles(const std::string&);
    void OnShredFiles(const std::string&);
    void OnBrowseFolder(const std::string&);
    void OnRemoveFolder(const std::string& args);
    void OnRemoveAllFolders(const std::string&);
    void OnShredFolders(const std::string&);
    void OnShredRecycleBin(const std::string&);
    void OnShredDrive(const std::string& args);
    void OnScheduleFiles(const std::string&);
    void OnScheduleFolders(const std::string&);
    void OnScheduleRecycleBin(const std::string&);
    void OnScheduleDrive(const std::string& args);
    void OnShowScheduleList(const std::string&);
    void OnDeleteAllTasks(const std::string&);
    void OnDeleteTask(const std::string& args);
    void OnViewLog(const std::string&);
    void OnRunTask(const std::string& args);
    void OnTaskProperties(const std::string& args);
    void OnSubfolderOptions(const std::string&);
    void OnNothing(const std::string&) {}

    void ResetFileList();
    void ResetFolderList();
    void ShowScheduleList();
    using TaskAction = TaskListChange (ScheduleFrontEnd::*)(TaskList&, size_t);
    void ActOnTask(const std::string& name, TaskAction action);
    void OpenHelpFile();
    void SetIcons();

    ShredContext& context_;
    DocumentOpener& opener_;
    MovieHost* movie_;
    ScheduleFrontEnd* schedule_;
    CSkin skin_;
    CSplash splash_;
    bool running_ = false;
    bool closing_ = false;
};
