// The shred log: "log.txt" in the installation folder, appended to by silent runs and never
// read by the program. Each entry opens, appends and closes the file; an entry that cannot be
// written is lost without a message. Messages reach it through engine/Reporting.h.
#pragma once

#include <string>

// The log's path, in the installation folder taken from the settings at each write (the
// program's own folder when the stored one is unusable); empty when it does not fit a path
// buffer, or no folder is known.
std::string LogFilePath();

// Appends `text` with every line feed written as CR LF, as a text-mode file would.
void AppendToLog(const std::string& text);

// Appends "Task Name: " and the name with its control characters as blanks, then one line end.
void WriteTaskLine(const std::string& taskName);

// Appends a message entry: `text`, then two line ends, which leave an empty line.
void AppendLogEntry(const std::string& text);
