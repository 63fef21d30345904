// The warning dialogs: every notice and question of the program, in one of seven styles, with
// the answer recorded process-wide. The big warning dialog is the same with more room for text.
#pragma once

#include "ui/MovieDialog.h"

#include <string>

class CWarningDlg : public CMovieDialog {
public:
    CWarningDlg();

    int m_style = 0;
    std::string m_message;
    std::string m_title;

    // The answer of the warning dialog that ended last: 6 positive, 7 No, 2 Cancel.
    static int Answer();

protected:
    CWarningDlg(int templateId, const char* movie);

    void OnInitDialog() override;
    void OnFSCommand(const std::string& command, const std::string& args) override;
    bool OnCommand(int id, int code) override;
    void ShowFallback() override;

    void OnPositive();
    void OnNo();
    void OnCancel();
    void OnPositiveCommand(const std::string&) { OnPositive(); }
    void OnNoCommand(const std::string&) { OnNo(); }
    void OnCancelCommand(const std::string&) { OnCancel(); }
    void OnDrag(const std::string&) { StartDragging(); }

private:
    const char* movie_;
};

class CBigWarningDlg : public CWarningDlg {
public:
    CBigWarningDlg();

protected:
    void OnFSCommand(const std::string& command, const std::string& args) override;
};
