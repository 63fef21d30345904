// The free-record phase of a wipe on NTFS. A file of a few hundred bytes lives inside its record
// of the file table (the MFT), and so does a small folder's index: a deleted one leaves its data
// and names in a free record, which no fill file reaches. Once the fill has left no cluster free,
// this phase makes small files, each grown to the largest size the file system still takes, until
// no more can be made, so that every free record is taken over and written anew; the clean-up
// deletes them with the fill files.
//
// A new entry needs room in its folder's index, and with no cluster free an index cannot grow out
// of its folder's record. So the files go into a tree of folders, each given only as many entries
// as fit in a new folder's record. That number is measured before the fill in the tree's first
// folder: empty files are made in it until one takes a cluster (its entry did not fit), and they
// stay, so that the records they took are not given out again in place of others; after the
// fill they are grown like the rest. (A file that grows past its record takes a second record on
// ntfs-3g, an extension record that holds its data: that record is taken over as well.)
#pragma once

#include "engine/ShredContext.h"

#include <windows.h>

#include <string>
#include <vector>

// What the phase does to the disk. RecordDisk() is the real one; tests stand in for it.
class RecordSpace {
public:
    virtual ~RecordSpace() = default;
    // Creates a folder, or an empty file open for writing, under a name no entry has; 0 or the
    // system's error code.
    virtual DWORD NewFolder(const std::string& path) = 0;
    virtual DWORD NewFile(const std::string& path, HANDLE* file) = 0;
    // Opens a file the phase made, for writing at its end; 0 or the system's error code.
    virtual DWORD OpenFile(const std::string& path, HANDLE* file) = 0;
    // Writes `bytes` at the end of the open file; 0 or the system's error code.
    virtual DWORD Append(HANDLE file, const void* data, DWORD bytes) = 0;
    virtual void Close(HANDLE file) = 0;
    // Deletes a file or removes an empty folder; true once it is gone.
    virtual bool Remove(const std::string& path, bool folder) = 0;
    // The drive's free bytes; false when they cannot be queried.
    virtual bool FreeBytes(unsigned long long* bytes) = 0;
};

// The real disk, on the drive at `root`.
class DiskRecordSpace : public RecordSpace {
public:
    DiskRecordSpace(const ShredContext& context, const std::string& root) : context_(context), root_(root) {}
    DWORD NewFolder(const std::string& path) override;
    DWORD NewFile(const std::string& path, HANDLE* file) override;
    DWORD OpenFile(const std::string& path, HANDLE* file) override;
    DWORD Append(HANDLE file, const void* data, DWORD bytes) override;
    void Close(HANDLE file) override;
    bool Remove(const std::string& path, bool folder) override;
    bool FreeBytes(unsigned long long* bytes) override;

private:
    const ShredContext& context_;
    std::string root_;
};

class FreeRecordFill {
public:
    // The most entries a folder is given, and the most bytes a small file may take: a record is at
    // most 4 KiB, so a file that takes more lives in clusters, and the drive is not full.
    static constexpr unsigned MostEntries = 64;
    static constexpr unsigned long long MostFileBytes = 4096;

    FreeRecordFill(ShredContext& context, RecordSpace& space, const std::string& workFolder);
    FreeRecordFill(const FreeRecordFill&) = delete;
    FreeRecordFill& operator=(const FreeRecordFill&) = delete;

    // Before the fill: makes the tree's first folder in the work folder and measures how many
    // entries a new folder takes. False when the phase cannot run (no folder, no room).
    bool Prepare();
    // How many entries a new folder takes; 0 until Prepare measured it.
    unsigned Capacity() const { return capacity_; }

    // After the fill: makes small files and folders until no more can be made, showing the count
    // in line 2 of `progress` (text of key 9921). Flow::Stop when the stop request ended it, at
    // most one file after it was set.
    Flow Fill(ProgressView& progress);
    unsigned FilesMade() const { return files_; }
    unsigned FoldersMade() const { return folders_; }

    // Deletes every file and folder the phase made, the newest first.
    void Clear();

private:
    struct Made {
        std::string path;
        bool folder;
    };
    // A new name in `folder`, none of `taken`.
    std::string NewName(const std::string& folder, std::vector<std::string>& taken);
    // A small file in `folder`, grown as large as it goes; 0, or the error that ended the phase.
    DWORD MakeFile(const std::string& folder, std::vector<std::string>& taken);
    // Grows an open file as large as it goes and closes it.
    void Grow(HANDLE file);
    // One more file done: counted, shown, and the window's messages let through.
    void CountFile(ProgressView& progress, const std::string& countPattern);

    ShredContext& context_;
    RecordSpace& space_;
    std::string workFolder_;
    std::string first_;
    std::vector<std::string> firstEntries_;  // the files Prepare made in the first folder
    unsigned capacity_ = 0;
    unsigned files_ = 0;
    unsigned folders_ = 0;
    bool driveNotFull_ = false;
    std::vector<Made> made_;
};

// Empties a wipe's work folder of what an earlier wipe left in it: its fill files and its record
// tree (names of IsWipeFillName and IsRecordName; anything else and links are left alone). True
// when nothing of those is left.
bool EmptyWorkFolder(const std::string& folder);
