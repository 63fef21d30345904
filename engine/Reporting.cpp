#include "engine/Reporting.h"

#include "engine/ShredLog.h"

Answer Report(ShredContext& context, WarningStyle style, const std::string& text, DialogSize size)
{
    if (context.silent || !context.channel) {
        LogMessage(context, text);
        return Answer::Positive;
    }
    return context.channel->Ask(style, text, context.title, size);
}

Answer AskInPerson(ShredContext& context, WarningStyle style, const std::string& text, DialogSize size)
{
    return AskInPerson(context, style, text, context.title, size);
}

Answer AskInPerson(ShredContext& context, WarningStyle style, const std::string& text, const std::string& title,
                   DialogSize size)
{
    if (!context.channel)
        return Answer::Cancel;
    return context.channel->Ask(style, text, title, size);
}

bool NoticeInPerson(ShredContext& context, NoticeMode mode, const std::string& text, bool* dontShowAgain)
{
    *dontShowAgain = false;
    if (!context.channel)
        return false;
    return context.channel->ShowNotice(mode, text, context.title, dontShowAgain);
}

void Alert(ShredContext& context, const std::string& text)
{
    if (context.silent || !context.channel)
        LogMessage(context, text);
    else
        context.channel->Alert(text, context.title);
}

void LogMessage(ShredContext& context, const std::string& text)
{
    context.logText = text;
    AppendLogEntry(text);
}

void StartupNotice(ShredContext& context, const std::string& text)
{
    if (context.silent || !context.channel)
        AppendLogEntry(text);
    else
        Report(context, WarningStyle::Notice, text);
}
