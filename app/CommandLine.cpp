#include "app/CommandLine.h"

#include <windows.h>

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

namespace {

std::string FileNameOf(const std::string& path)
{
    std::string::size_type slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

}  // namespace

std::string ArgumentsOf(const std::string& fullLine, const std::string& programPath)
{
    std::string::size_type start = fullLine.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::string();
    std::string::size_type end;
    std::string first;
    // A program path with blanks, given without quotes.
    if (!programPath.empty() && fullLine.size() - start >= programPath.size() &&
        CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, fullLine.c_str() + start,
                       static_cast<int>(programPath.size()), programPath.c_str(),
                       static_cast<int>(programPath.size())) == CSTR_EQUAL &&
        (fullLine.size() == start + programPath.size() || fullLine[start + programPath.size()] == ' ' ||
         fullLine[start + programPath.size()] == '\t')) {
        std::string::size_type rest = fullLine.find_first_not_of(" \t", start + programPath.size());
        return rest == std::string::npos ? std::string() : fullLine.substr(rest);
    }
    if (fullLine[start] == '"') {
        end = fullLine.find('"', start + 1);
        if (end == std::string::npos)
            return fullLine.substr(start);  // a lone quote names no program
        first = fullLine.substr(start + 1, end - start - 1);
        ++end;
    } else {
        end = fullLine.find_first_of(" \t", start);
        if (end == std::string::npos)
            end = fullLine.size();
        first = fullLine.substr(start, end - start);
    }
    if (first.empty() || first[0] == '/' || lstrcmpiA(FileNameOf(first).c_str(), FileNameOf(programPath).c_str()) != 0)
        return fullLine.substr(start);
    std::string::size_type rest = fullLine.find_first_not_of(" \t", end);
    return rest == std::string::npos ? std::string() : fullLine.substr(rest);
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
