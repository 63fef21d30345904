#include "schedule/JobCommandLine.h"

#include <climits>

void ParseCommandLine(const std::string& line, const std::function<bool(const std::string&)>& handle)
{
    if (line.find('"') != std::string::npos) {
        std::string::size_type at = 0;
        for (;;) {
            std::string::size_type open = line.find('"', at);
            if (open == std::string::npos)
                return;
            std::string::size_type close = line.find('"', open + 1);
            if (close == std::string::npos)
                return;
            if (!handle(line.substr(open + 1, close - open - 1)))
                return;
            at = close + 1;
        }
    }

    std::string::size_type at = 0;
    for (;;) {
        std::string::size_type start = line.find_first_not_of(' ', at);
        if (start == std::string::npos)
            return;
        std::string::size_type end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        if (!handle(line.substr(start, end - start)))
            return;
        at = end;
    }
}

int LeadingNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

Argument ClassifyArgument(const std::string& token)
{
    Argument argument;
    if (token == "/s") {
        argument.kind = Argument::Silent;
        return argument;
    }
    if (token.empty() || token[0] != '/') {
        argument.kind = Argument::Item;
        return argument;
    }
    char letter = token.size() > 1 ? token[1] : '\0';
    if (letter == 'O' || letter == 'T' || letter == 'F' || letter == 'R') {
        argument.kind = Argument::Switch;
        argument.letter = letter;
        argument.value = LeadingNumber(token.c_str() + 2);
    }
    return argument;
}

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Switch(char letter, int value)
{
    return Quoted(std::string("/") + letter + std::to_string(value));
}

// "/s" "NAME" "/O<method>" "/T<passes>", the start of every task's line.
std::string TaskStart(const std::string& name, int method, int passCount)
{
    return Quoted("/s") + " " + Quoted(name) + " " + Switch('O', method) + " " + Switch('T', passCount);
}

}  // namespace

std::string TaskItem(const std::string& path, bool firstOfList)
{
    return (firstOfList ? "" : " ") + Quoted(path);
}

std::string FilesTaskLine(const std::string& name, int method, int passCount, const std::string& items)
{
    return TaskStart(name, method, passCount) + " " + items;
}

std::string FoldersTaskLine(const std::string& name, int method, int passCount, int folderPolicy, int removePolicy,
                            const std::string& items)
{
    return TaskStart(name, method, passCount) + " " + Switch('F', folderPolicy) + " " + Switch('R', removePolicy) +
           " " + items;
}

std::string DriveTaskLine(const std::string& name, int method, int passCount, const std::string& driveRoot)
{
    return TaskStart(name, method, passCount) + " " + Quoted(driveRoot);
}

std::string RecycleBinTaskLine(const std::string& name, int method, int passCount)
{
    return TaskStart(name, method, passCount) + " " + Quoted("recycle");
}
