// The file shredder: overwrites a file in place, cuts it to zero length, gives it a random name
// of the same length and deletes it. Also the small operations the other shredders share.
#pragma once

#include <windows.h>

#include "engine/PatternGenerator.h"

#include <string>

class ShredApp;

// Who chose a file, which decides the questions asked and what happens after the overwrite.
enum ItemOrigin {
    OriginUser = 0,         // asked about attributes; renamed and deleted
    OriginBinDelete = 1,    // inside a Recycle Bin folder: never asked; renamed and deleted
    OriginBinOverwrite = 2, // inside the Recycle Bin: only overwritten, the bin is emptied later
};

// Shred methods.
enum ShredMethod { MethodQuick = 0, MethodThorough = 1 };

// A temporary file of the free-space wiper, written through its open handle and left open.
struct WipeFileRecord {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string displayName;
    unsigned long long size = 0;  // bytes to write
};

// Destroys one file (file mode), or fills one wipe file (wipe mode, `wipe` given). Returns true
// when the whole run must end (stop), false to go on with the next item.
bool ShredFile(ShredApp& app, const std::string& path, int origin, WipeFileRecord* wipe = nullptr,
               unsigned fileNumber = 0, unsigned fileCount = 0);

// Fill kinds of the transfer buffer.
enum FillKind { FillZero = 0, FillRandom = 1, FillComplement = 2 };

void FillPattern(ShredApp& app, int kind);

// Creates the progress window when there is none; false (reported) when it cannot be created.
bool AcquireProgressWindow(ShredApp& app);
// Destroys the progress window, if any.
void ReleaseProgressWindow(ShredApp& app);

// Free space of a drive root: available to the caller and in total. False when the query fails.
bool QueryFreeSpace(const ShredApp& app, const std::string& root, unsigned long long* available,
                    unsigned long long* total);

// The file-system path of a shell display name; false when the shell cannot parse it.
bool ResolveShellPath(const std::string& text, std::string& path);
