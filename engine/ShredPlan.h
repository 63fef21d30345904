// What the file shredder and the free-space wiper compute before they touch a disk: block
// counts, the spans of a name that renaming replaces, the pattern fills and the progress texts.
// Plain functions over numbers and strings, so they are tested without a file.
#pragma once

#include "engine/PatternGenerator.h"

#include <cstddef>
#include <string>

constexpr unsigned long long ShredBlockSize = 65536;
constexpr unsigned long long WipeFileLimit = 1ull << 30;  // bytes per temporary file
constexpr unsigned long WipeSmallestBlock = 512;

// Blocks of a file of `size` bytes: one more than the whole blocks, so an empty file has one.
inline unsigned long long ChunkCount(unsigned long long size) { return size / ShredBlockSize + 1; }

// Temporary files planned for `available` free bytes.
inline unsigned long long PlannedWipeFiles(unsigned long long available) { return available / WipeFileLimit + 1; }

// Any method but quick is thorough: a run is never weaker than asked.
inline bool IsThorough(int method) { return method != 0; }

// The parts of a path's last component that renaming replaces: the base span before the last
// '.', and the extension span after it. Everything before the component and the dot stay.
struct NameSpans {
    size_t baseStart = 0;
    size_t baseLength = 0;
    size_t extensionStart = 0;
    size_t extensionLength = 0;
};
NameSpans LocateNameSpans(const char* path, size_t length);

// A random ASCII letter: the low byte of the first generated value that is one.
char RandomLetter(PatternGenerator& generator);

// Replaces every character of both spans of `name` (length `length`) by random letters.
void ReplaceNameSpans(char* name, size_t length, PatternGenerator& generator);

// `count` bytes, each the low byte of one generated value, in order.
void FillRandomBytes(unsigned char* buffer, size_t count, PatternGenerator& generator);
// Every byte replaced by its bitwise complement.
void ComplementBytes(unsigned char* buffer, size_t count);

// The first progress line of a wipe file: "%s" its name, "%u" its number, "%t" the count.
std::string WipeFileLine(const std::string& pattern, const std::string& name, unsigned number, unsigned count);

// The write-failure message: the composed text with the system's description after it.
std::string WriteFailureText(const std::string& pattern, const std::string& path, unsigned long code);

// The work folder of a wipe on `root` ("C:\") and the path of its temporary file `number`.
std::string WipeFolderPath(const std::string& root);
std::string WipeFilePath(const std::string& folder, unsigned number);

// Names of what a wipe makes in its work folder: the fill files ("SHRED*.TMP", letters in any
// case), and the files and folders that take over free records of the file table: three
// random capital letters, which are an 8.3 name already, so NTFS keeps no second, short name.
constexpr size_t RecordNameLength = 3;
bool IsWipeFillName(const char* name);
bool IsRecordName(const char* name);
std::string RandomRecordName(PatternGenerator& generator);
