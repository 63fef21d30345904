// The progress window of a run: modeless, three lines of text, a bar and a cancel that raises
// the run's stop request. The engine drives it through ProgressView.
//
// The engine reports after every 64 KiB block, far more often than anyone can read; drawing each
// report would cost many times what the writing does. So the window shows a change at once only
// when its last change is at least UpdateInterval old, keeps a later one waiting, and shows the
// waiting change from a timer of that interval (which arrives through the engine's message pump,
// or any dialog's loop). What it shows is never more than UpdateInterval behind, and the last
// report always reaches the screen.
#pragma once

#include "engine/UserChannel.h"
#include "ui/MovieDialog.h"

#include <string>

class CProgressDlg : public CMovieDialog, public ProgressView {
public:
    // `stopRequest` is the run's flag; the window only ever sets it.
    explicit CProgressDlg(int* stopRequest);

    static constexpr DWORD UpdateInterval = 50;  // milliseconds

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
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnCancel(const std::string&);
    void OnNothing(const std::string&) {}

    // Whether a change last shown at `shownAt` may be shown again now.
    static bool Due(DWORD shownAt);
    void ShowLine(int line);
    void ShowPosition();
    void RepaintNow();
    void WaitForTimer();
    void ShowWaiting();

    int* stopRequest_;
    long long divisor_ = 1;  // the bar counts in 32 bits; huge ranges are scaled down
    int barMaximum_ = 0;

    // What the engine asked for, what the window shows, and when each was last shown.
    std::string lines_[3];
    std::string shownLines_[3];
    DWORD lineShownAt_[3] = {};
    bool lineWaits_[3] = {};
    int position_ = 0;
    int shownPosition_ = -1;  // none shown since the range was set
    DWORD positionShownAt_ = 0;
    DWORD repaintedAt_ = 0;
    bool repaintWaits_ = false;
    bool timerRuns_ = false;
};
