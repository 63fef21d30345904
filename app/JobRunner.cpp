#include "app/JobRunner.h"

#include "engine/FileShredder.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"

void RunCommandLineJob(ShredContext& context, const std::vector<std::string>& items, JobActions& actions)
{
    context.stopRequest = 0;
    std::string question;
    if (items.size() == 1) {
        std::string named;
        if (!actions.ResolveShellPath(items[0], named))
            named = items[0];
        if (named == "recycle")
            named = "the Recycle Bin";
        question = MessageText::WithPath(context.LookupText(9052), named);
    } else {
        question = MessageText::WithNumber(context.LookupText(9051), static_cast<unsigned>(items.size()));
    }
    if (context.silent || Report(context, WarningStyle::Confirm, question) == Answer::Positive) {
        for (const std::string& item : items) {
            if (item == "recycle") {
                actions.ShredRecycleBinNow(context);
            } else {
                JobItemResult result = ShredJobItem(context, item, actions);
                if (result == JobItemResult::NotFound) {
                    std::string text = MessageText::WithPath(context.LookupText(9053), item);
                    if (Report(context, WarningStyle::ContinueStop, text) != Answer::Positive)
                        break;
                } else if (result == JobItemResult::Stop) {
                    context.incomplete = true;  // the items after it were never reached
                    break;
                }
            }
            if (context.stopRequest)
                break;
        }
    }
    ReleaseProgressWindow(context);
}
