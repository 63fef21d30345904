// The command line of a job, in one place: how the program reads it (tokens, and what each token
// means) and how the scheduling front end writes the lines of its tasks, so that what a task is
// given is what the program reads back. The application reads, the front end writes; both reach
// this layer.
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

// The lines of scheduled tasks. A task's name and its items are written between quotes, which
// cannot be escaped: none of them may hold a quote (a name is refused when it is chosen, a path
// cannot hold one).
//
// One entry of a list in a files or folders task: the path in quotes, with a blank before it
// unless it is the list's first entry. (The item text of a task whose first entry was left out
// therefore starts with a blank.)
std::string TaskItem(const std::string& path, bool firstOfList);

// "/s" "NAME" "/O<method>" "/T<passes>" ITEMS
std::string FilesTaskLine(const std::string& name, int method, int passCount, const std::string& items);
// "/s" "NAME" "/O<method>" "/T<passes>" "/F<contents>" "/R<removal>" ITEMS
std::string FoldersTaskLine(const std::string& name, int method, int passCount, int folderPolicy, int removePolicy,
                            const std::string& items);
// "/s" "NAME" "/O<method>" "/T<passes>" "ROOT", the root of a drive such as C:\.
std::string DriveTaskLine(const std::string& name, int method, int passCount, const std::string& driveRoot);
// "/s" "NAME" "/O<method>" "/T<passes>" "recycle"
std::string RecycleBinTaskLine(const std::string& name, int method, int passCount);
