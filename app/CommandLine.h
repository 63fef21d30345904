// How this process was started: the text after the program's name, and the program's own paths.
// The grammar of that text is schedule/JobCommandLine.h.
#pragma once

#include "schedule/JobCommandLine.h"

#include <string>

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
