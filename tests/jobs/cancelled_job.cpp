// cancelled_job PRESS RAW-COMMAND-LINE: runs a command-line job as Nullwright.exe runs it (the
// application object, the real dialogs and the real progress window), and presses the progress
// window's Cancel at the PRESS-th time the engine offers to drain the message queue (after each
// block), counted over the whole run. The press is posted, so it arrives through the queue like a
// user's click. The exit status is the program's.
#include "app/CommandLine.h"
#include "app/ShredApp.h"
#include "tests/ui/DialogScript.h"
#include "ui/DialogChannel.h"

#include <cstdio>
#include <cstdlib>

namespace {

class CancellingChannel : public DialogChannel {
public:
    explicit CancellingChannel(long pressAt) : pressAt_(pressAt) {}

    void PumpMessages() override
    {
        if (++pumps_ != pressAt_) {
            DialogChannel::PumpMessages();
            return;
        }
        PressCancel();
        // The press lands at the channel's next drain, made once its interval is over; made at
        // once here, so that the block it lands in is the one named.
        DrainQueue();
    }

private:
    void PressCancel()
    {
        HWND progress = uitest::ThreadProgressWindow();
        if (!progress) {
            std::fprintf(stderr, "cancelled_job: no progress window at drain %ld\n", pumps_);
            std::exit(90);
        }
        // The movie's button when the movie plays, the window's own one when it fell back.
        HWND cancel = uitest::MovieControl(progress, "Cancel");
        if (!cancel)
            cancel = GetDlgItem(progress, IDCANCEL);
        PostMessageA(cancel, BM_CLICK, 0, 0);
    }

    long pressAt_;
    long pumps_ = 0;
};

}  // namespace

int main()
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);  // on failure no first token matches: all are arguments
    const char* fullLine = GetCommandLineA();
    std::string arguments = ArgumentsOf(fullLine ? fullLine : "", program);
    std::string::size_type blank = arguments.find(' ');
    long pressAt = std::atol(arguments.substr(0, blank).c_str());
    if (pressAt <= 0 || blank == std::string::npos) {
        std::fprintf(stderr, "usage: cancelled_job PRESS RAW-COMMAND-LINE\n");
        return 2;
    }

    CancellingChannel channel(pressAt);
    ShredApp app;
    app.context.channel = &channel;
    if (app.InitInstance(arguments.substr(blank + 1)))
        app.Run();
    return app.ExitInstance();
}
