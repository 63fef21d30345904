#include "app/CommandLine.h"

#include "common/CodePage.h"

#include <windows.h>

#include <initializer_list>

namespace {

std::string FileNameOf(const std::string& path)
{
    std::string::size_type slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

// True when `fullLine` starts, at `start`, with `path` followed by a blank or the end: a program
// path with blanks given without quotes.
bool StartsWithPath(const std::string& fullLine, std::string::size_type start, const std::string& path)
{
    if (path.empty() || fullLine.size() - start < path.size())
        return false;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, fullLine.c_str() + start, static_cast<int>(path.size()),
                       path.c_str(), static_cast<int>(path.size())) != CSTR_EQUAL)
        return false;
    std::string::size_type end = start + path.size();
    return end == fullLine.size() || fullLine[end] == ' ' || fullLine[end] == '\t';
}

bool NamesProgram(const std::string& token, const std::string& path)
{
    return !path.empty() && lstrcmpiA(FileNameOf(token).c_str(), FileNameOf(path).c_str()) == 0;
}

std::string RestAfter(const std::string& fullLine, std::string::size_type end)
{
    std::string::size_type rest = fullLine.find_first_not_of(" \t", end);
    return rest == std::string::npos ? std::string() : fullLine.substr(rest);
}

}  // namespace

std::string ArgumentsOf(const std::string& fullLine, const std::string& programPath,
                        const std::string& shortProgramPath)
{
    std::string::size_type start = fullLine.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::string();
    for (const std::string* path : {&programPath, &shortProgramPath}) {
        if (StartsWithPath(fullLine, start, *path))
            return RestAfter(fullLine, start + path->size());
    }
    std::string::size_type end;
    std::string first;
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
    if (first.empty() || first[0] == '/' || !(NamesProgram(first, programPath) || NamesProgram(first, shortProgramPath)))
        return fullLine.substr(start);
    return RestAfter(fullLine, end);
}

ProgramStart ThisProgramStart()
{
    ProgramStart start;
    const wchar_t* line = GetCommandLineW();
    CodePage::Narrow(line ? line : L"", start.commandLine);  // inexact parts are '?' (see the header)
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // On failure no first token matches: everything is arguments.
    if (length == 0 || length >= MAX_PATH)
        return start;
    // A path this code page cannot hold keeps its '?': it then names no first token, and the
    // token is refused as an item (a wildcard) instead.
    CodePage::Narrow(std::wstring(path, length), start.path);
    wchar_t shortPath[MAX_PATH];
    length = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        CodePage::Narrow(std::wstring(shortPath, length), start.shortPath);
    return start;
}
