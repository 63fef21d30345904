// The subfolder options dialog: edits the two subfolder policies (0 never, 1 prompt, 2 always).
// The caller sets the policies, runs the dialog and, after an OK ending, converts the two text
// forms back with PolicyFromText.
#pragma once

#include "ui/MovieDialog.h"

#include <string>

class CSubfolderOptionsDlg : public CMovieDialog {
public:
    CSubfolderOptionsDlg();

    int m_contentsPolicy = 0;
    int m_removalPolicy = 0;
    std::string m_contentsText = "0";
    std::string m_removalText = "0";

    // The leading decimal digits of `text`; no digits give 0.
    static int PolicyFromText(const std::string& text);

protected:
    void OnInitDialog() override;
    void OnFSCommand(const std::string& command, const std::string& args) override;
    bool OnCommand(int id, int code) override;
    BOOL OnHelpInfo() override;
    void ShowFallback() override;

private:
    void OnMovieOK(const std::string&);
    void OnMovieCancel(const std::string&) { OnCancel(); }
    void OnDrag(const std::string&) { StartDragging(); }
    void OnOK();
    void OnCancel();
    void OnHelp();
    void OnRadio() {}
    void OpenHelpPage();

    bool fallback_ = false;
};
