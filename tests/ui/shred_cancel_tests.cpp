// The real progress window over a real overwrite: its Cancel, pressed while a large file is being
// written, ends the overwrite after the block in hand, and the file is still cut, renamed and
// deleted.
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "engine/FileShredder.h"
#include "tests/ui/DialogScript.h"
#include "ui/DialogChannel.h"

#include <doctest/doctest.h>

using namespace uitest;

namespace {

// The dialog channel, pressing the progress movie's Cancel at the n-th time the engine offers to
// drain the queue. The press is posted, so it arrives through the queue like a user's click.
class CancellingChannel : public DialogChannel {
public:
    int pressAt = 0;
    int pumps = 0;
    HWND progress = nullptr;

    void PumpMessages() override
    {
        if (++pumps != pressAt) {
            DialogChannel::PumpMessages();
            return;
        }
        progress = ThreadProgressWindow();
        REQUIRE(progress != nullptr);
        PostMessageA(MovieControl(progress, "Cancel"), BM_CLICK, 0, 0);
        // The press lands at the drain after it, which the channel makes once its interval is
        // over; here that drain is made at once, so the block it lands in is known.
        DrainQueue();
    }
};

}  // namespace

TEST_CASE("Cancel in the progress window during a large file")
{
    Installation installation;
    installation.CopyAllMovies();
    installation.CopyEnglishPack();
    test::TempFolder folder("cancel");
    std::string path = folder / "large.bin";
    const size_t size = 4 * 1024 * 1024;  // 65 chunks per step
    test::WriteFileBytes(path, std::string(size, 'S'));

    CancellingChannel channel;
    channel.pressAt = 100;  // pass 1, step 1 (the complement)
    ShredContext context;
    context.appPath = installation.Path();
    context.title = "Vantor Shredder";
    context.transferBuffer.reset(new unsigned char[TransferBufferSize]);
    context.channel = &channel;
    Settings::WriteNumber("Method", MethodThorough);
    Settings::WriteNumber("PassCount", 3);

    CHECK(ShredFile(context, path, ItemOrigin::User) == Flow::Stop);
    CHECK(context.stopRequest == 1);
    CHECK(channel.pumps == channel.pressAt);  // not one block after the press
    REQUIRE(channel.progress != nullptr);
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(channel.progress, IDCANCEL)));
    CHECK_FALSE(test::FileExists(path));
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder / "*.bin").c_str(), &entry);
    CHECK(find == INVALID_HANDLE_VALUE);  // no renamed leftover either
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);

    ReleaseProgressWindow(context);
    CHECK_FALSE(IsWindow(channel.progress));
}
