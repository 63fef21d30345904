// The free-space wiper: fills a drive's free space with temporary files in a work folder, on NTFS
// then takes over the free records of the file table with small files (engine/FreeRecords.h),
// optionally overwrites the fill files with the thorough passes, then deletes them all and the
// folder. A work folder an earlier wipe left is emptied of the wipe's files first.
#pragma once

#include "engine/FileShredder.h"
#include "engine/FreeRecords.h"
#include "engine/ShredContext.h"

#include <string>
#include <vector>

// Wipes the free space of the drive at `root` ("C:\"). Reports its own failures. A work folder
// of that name left by an earlier run is used again, but a file or a link of that name is not:
// the wipe is then reported and not started. A stop before the end marks the run incomplete.
void WipeFreeSpace(ShredContext& context, const std::string& root);
// The same, its free-record phase on `space` (on NTFS drives only, by the drive table).
void WipeFreeSpace(ShredContext& context, const std::string& root, RecordSpace& space);

// At a start: a work folder found on a fixed drive of the drive table (a wipe ended from outside
// left it, and its files may fill the drive) is reported once. A person is offered its removal
// (9300), which empties it of the wipe's files only (EmptyWorkFolder) and says so when something
// stays (9301); a silent run logs it without touching it, and without making the log text, so a
// run that did what it was asked still logs "Success". Drives named in `wipedRoots` ("N:\") are
// left out: their wipe empties the folder itself, and so is a folder whose first fill file is
// held open without sharing: its wipe runs now.
void OfferToRemoveLeftWorkFolders(ShredContext& context, const std::vector<std::string>& wipedRoots);

// Results of FillWipeFile.
enum class FillResult { FileLimit = 0, DriveFull = 1, WriteError = 2, Stopped = 3 };

// Writes the transfer buffer into the record's open file until it holds 1 GiB, the drive is
// full, a write fails (reported) or the stop request is set. Adds the bytes to `record.size`.
FillResult FillWipeFile(ShredContext& context, WipeFileRecord& record);
