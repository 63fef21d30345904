// A program without the dialog templates: every dialog fails to open, and the channel says so
// instead of answering for the user.
#include "tests/support/TestSupport.h"
#include "ui/DialogChannel.h"
#include "ui/SubfolderOptionsDlg.h"

#include <doctest/doctest.h>

TEST_CASE("without its window the channel answers Cancel and opens no progress window")
{
    DialogChannel channel;
    for (int style = 0; style <= 6; ++style) {
        CAPTURE(style);
        for (DialogSize size : {DialogSize::Normal, DialogSize::Big})
            CHECK(channel.Ask(static_cast<WarningStyle>(style), "text", "title", size) == Answer::Cancel);
    }
    int stop = 0;
    CHECK(channel.OpenProgress(nullptr, &stop) == nullptr);
    CHECK(stop == 0);

    SubfolderPolicies policies{1, 2};
    CHECK_FALSE(EditSubfolderPolicies(nullptr, policies));
    CHECK(policies.contents == 1);
    CHECK(policies.removal == 2);
}
