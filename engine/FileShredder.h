// The file shredder: overwrites a file in place, cuts it to zero length, gives it a random name
// of the same length and deletes it, and makes sure it is gone. A stop before every byte was
// overwritten once leaves the file whole under its name; a stop after that still deletes it.
// Also the small operations the other shredders share.
#pragma once

#include "engine/ShredContext.h"

#include <windows.h>

#include <string>
#include <vector>

// Who chose a file, which decides the questions asked and what happens after the overwrite.
enum class ItemOrigin {
    User = 0,          // asked about attributes; renamed and deleted
    BinDelete = 1,     // inside a Recycle Bin folder: never asked; renamed and deleted
    BinOverwrite = 2,  // inside the Recycle Bin: only overwritten, the bin is emptied later
};

// Shred methods.
enum ShredMethod { MethodQuick = 0, MethodThorough = 1 };

// A temporary file of the free-space wiper, written through its open handle and left open.
struct WipeFileRecord {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string displayName;
    unsigned long long size = 0;  // bytes to write
};

// A named (alternate) data stream of a file: data that the overwrite of the main stream never
// reaches.
struct NamedStream {
    std::wstring name;  // as the system lists it, ":name:$DATA"
    unsigned long long size = 0;
};

// The named streams of files. SystemStreams() asks the file system (FindFirstStreamW where the
// system has it); tests stand in for it, since Wine keeps no streams.
class FileStreams {
public:
    virtual ~FileStreams() = default;
    // The named streams of `path`; none where the system lists none or cannot list them.
    virtual std::vector<NamedStream> List(const std::string& path) = 0;
    // One stream opened for writing; INVALID_HANDLE_VALUE when it cannot be.
    virtual HANDLE Open(const std::string& path, const NamedStream& stream) = 0;
};

FileStreams& SystemStreams();

// Destroys one file: its named streams first, with the same method, then its main stream. A
// name that reaches a file through a link is removed as a link and the file is left alone; a
// file with other names (hard links) is not overwritten: this name is removed and its data stays
// under the others. Returns Flow::Stop when the whole run must end. What it leaves undone (a
// file stopped before its data was destroyed, an entry the delete left) it reports and marks in
// `context.incomplete`.
Flow ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin,
               FileStreams& streams = SystemStreams());

// Overwrites one wipe file through its open handle with the run's method (wipe mode), showing
// its number of `fileCount`; the file stays open and whole. Flow::Stop ends the wipe.
Flow OverwriteWipeFile(ShredContext& context, WipeFileRecord& wipe, unsigned fileNumber, unsigned fileCount);

// Fill kinds of the transfer buffer.
enum class FillKind { Zero = 0, Random = 1, Complement = 2 };

void FillPattern(ShredContext& context, FillKind kind);

// Creates the progress window when there is none; false (reported) when it cannot be created.
bool AcquireProgressWindow(ShredContext& context);
// Destroys the progress window, if any.
void ReleaseProgressWindow(ShredContext& context);

// Free space of a drive root: available to the caller and in total. False when the query fails.
bool QueryFreeSpace(const ShredContext& context, const std::string& root, unsigned long long* available,
                    unsigned long long* total);

// True when nothing answers to `path` any more; false while an entry is there or may be there.
bool EntryIsGone(const std::string& path);

// The file-system path of a shell display name; false when the shell cannot parse it.
bool ResolveShellPath(const std::string& text, std::string& path);
