// The progress window of a run: modeless, three lines of text, a bar and a cancel that raises
// the run's stop request. The engine drives it through ProgressView.
#pragma once

#include "engine/UserChannel.h"
#include "ui/MovieDialog.h"

class CProgressDlg : public CMovieDialog, public ProgressView {
public:
    // `stopRequest` is the run's flag; the window only ever sets it.
    explicit CProgressDlg(int* stopRequest);

    void ShowAndEnable() override;
    void SetLine(int line, const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void SetRange(long long maximum) override;
    void SetPosition(long long position) override;
    void Repaint() override;

protected:
    CommandTable Commands() const override;
    void OnInitDialog() override;
    void ShowFallback() override;
    bool FiltersMovieInput() const override { return false; }

private:
    void OnCancel(const std::string&);
    void OnNothing(const std::string&) {}

    int* stopRequest_;
    long long divisor_ = 1;  // the bar counts in 32 bits; huge ranges are scaled down
};
