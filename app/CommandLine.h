// The program's command line: its tokens and what each token means for a job.
#pragma once

#include <functional>
#include <string>

// Splits the text after the program's name into tokens and hands each to `handle`, in order,
// until the line ends or `handle` returns false.
//
// A line holding a double quote is read in the quoted form: only the text between pairs of
// quotes makes tokens, text outside them is ignored, and an opening quote that is never closed
// ends the parsing (its text is dropped, so a half-read path never becomes an item). A line
// without quotes is split at runs of spaces.
void ParseCommandLine(const std::string& line, const std::function<bool(const std::string&)>& handle);

// The text after the program's name in the process's full command line. A line that does not
// start with the program's name (some task schedulers pass only the arguments) is all arguments.
// The name matches by its file name, with or without ".exe", ignoring case, in its long form
// (`programPath`) or its short 8.3 form (`shortProgramPath`, when the volume keeps one).
std::string ArgumentsOf(const std::string& fullLine, const std::string& programPath,
                        const std::string& shortProgramPath = std::string());

// How this process was started, in the program's code page: its command line and its file's long
// and short paths. A character the code page cannot hold is a '?', never a look-alike, so an
// item so named is refused (a wildcard) rather than taken for another file's name.
struct ProgramStart {
    std::string commandLine;
    std::string path;
    std::string shortPath;  // empty where the volume keeps no short names
};
ProgramStart ThisProgramStart();

// What one token means, taken without state; `HandleArgument` of the application applies it.
struct Argument {
    enum Kind { Silent, Item, Switch, Ignored };
    Kind kind = Ignored;
    char letter = 0;  // of a switch: 'O', 'T', 'F' or 'R'
    int value = 0;    // of a switch: the leading decimal number after its first two characters
};

// Classifies a token that is not a task name: "/s", an item, a known switch or nothing.
Argument ClassifyArgument(const std::string& token);

// The decimal number at the start of `text`, read as the C library's atoi reads it (leading
// blanks, optional sign, 0 without digits), limited to the range of int.
int LeadingNumber(const char* text);
