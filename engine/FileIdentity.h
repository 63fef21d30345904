// What a name really reaches. Two paths can name one folder (a short name, a second drive letter,
// a share of the local disk, a junction higher up), a name can be a link to somewhere else, and
// one file can have several names (hard links). Paths are compared as strings by the folder
// walk; these answer by identity: the volume's serial number and the file index the file system
// gives an open file.
#pragma once

#include <windows.h>

#include <string>

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity& other) const
    {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The identity of what `path` reaches (a file or a folder, links followed); false when it cannot
// be opened.
bool IdentityOf(const std::string& path, FileIdentity& identity);

// The file's final path (links resolved, "\\?\" taken off) where the system offers
// GetFinalPathNameByHandleW; false where it does not or cannot tell.
bool FinalPathOf(HANDLE file, std::wstring& path);

// True when the open `file` is not the entry `path` names but what a link of that name points
// to: its final path differs from that of the folder `path` lies in followed by the entry's name.
// False when the system cannot tell (no final paths before Windows Vista, where a file cannot be
// a symbolic link either).
bool ReachedThroughLink(HANDLE file, const std::string& path);

// Removes the link `path` itself and never what it points to. Before anything is removed, the
// link is opened as itself; where the system opens the target instead (Wine opens the target of a
// Unix link whatever it is asked, and its removal functions then remove the target), nothing is
// removed and the answer is ERROR_NOT_SUPPORTED. 0, or the system's error code.
DWORD RemoveLinkItself(const std::string& path, bool directory);

// The final path, in the program's code page, of what the link `path` points to; empty when it
// points nowhere that can be opened.
std::string LinkTargetOf(const std::string& path);
