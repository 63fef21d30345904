#include "engine/FreeRecords.h"

#include "common/ScopedWin.h"
#include "engine/FileShredder.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

// The first size a small file grows by; it halves after every write the drive refuses.
constexpr DWORD FirstStep = 1024;

std::string Child(const std::string& folder, const std::string& name)
{
    return folder + "\\" + name;
}

}  // namespace

DWORD DiskRecordSpace::NewFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) ? 0 : GetLastError();
}

DWORD DiskRecordSpace::NewFile(const std::string& path, HANDLE* file)
{
    *file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    return *file != INVALID_HANDLE_VALUE ? 0 : GetLastError();
}

DWORD DiskRecordSpace::OpenFile(const std::string& path, HANDLE* file)
{
    *file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    return *file != INVALID_HANDLE_VALUE ? 0 : GetLastError();
}

DWORD DiskRecordSpace::Append(HANDLE file, const void* data, DWORD bytes)
{
    DWORD done = 0;
    if (!WriteFile(file, data, bytes, &done, nullptr))
        return GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    return done == bytes ? 0 : ERROR_DISK_FULL;
}

void DiskRecordSpace::Close(HANDLE file)
{
    // Not flushed: the data lives in the file's record, which goes to the disk whole, with it.
    CloseHandle(file);  // our own open handle
}

bool DiskRecordSpace::Remove(const std::string& path, bool folder)
{
    // Either failure shows in the check that follows.
    if (folder)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
    return EntryIsGone(path);
}

bool DiskRecordSpace::FreeBytes(unsigned long long* bytes)
{
    unsigned long long available = 0;
    return QueryFreeSpace(context_, root_, &available, bytes);
}

FreeRecordFill::FreeRecordFill(ShredContext& context, RecordSpace& space, const std::string& workFolder)
    : context_(context), space_(space), workFolder_(workFolder)
{
}

std::string FreeRecordFill::NewName(const std::string& folder, std::vector<std::string>& taken)
{
    for (;;) {
        std::string name = RandomRecordName(context_.generator);
        if (std::find(taken.begin(), taken.end(), name) == taken.end()) {
            taken.push_back(name);
            return Child(folder, name);
        }
    }
}

bool FreeRecordFill::Prepare()
{
    std::vector<std::string> taken;
    // A name an entry of the work folder already has (someone else's): another draw, a few times.
    for (int attempt = 0; attempt < 3 && first_.empty(); ++attempt) {
        std::string path = NewName(workFolder_, taken);
        if (space_.NewFolder(path) == 0)
            first_ = path;
    }
    if (first_.empty())
        return false;
    made_.push_back({first_, true});

    // Empty files, one at a time, until one of them takes a cluster: its entry did not fit in the
    // folder's record. (A drive whose free space cannot be queried shows no such file: a folder
    // is then given the most entries, and the records run out before they do.)
    unsigned long long before = 0;
    bool measured = space_.FreeBytes(&before);
    taken.clear();
    capacity_ = MostEntries;
    for (unsigned n = 1; n <= MostEntries; ++n) {
        std::string path = NewName(first_, taken);
        HANDLE file = INVALID_HANDLE_VALUE;
        if (space_.NewFile(path, &file) != 0) {
            capacity_ = n - 1;
            break;
        }
        space_.Close(file);
        made_.push_back({path, false});
        firstEntries_.push_back(path);
        unsigned long long now = 0;
        if (measured && space_.FreeBytes(&now) && now < before) {
            capacity_ = n - 1;
            break;
        }
    }
    return capacity_ > 0;
}

DWORD FreeRecordFill::MakeFile(const std::string& folder, std::vector<std::string>& taken)
{
    std::string path = NewName(folder, taken);
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = space_.NewFile(path, &file);
    if (error != 0)
        return error;
    made_.push_back({path, false});
    Grow(file);
    return 0;
}

void FreeRecordFill::Grow(HANDLE file)
{
    // The transfer buffer holds the fill's pattern.
    const unsigned char* pattern = context_.transferBuffer.get();
    unsigned long long size = 0;
    for (DWORD step = FirstStep; step > 0;) {
        if (space_.Append(file, pattern, step) != 0) {
            step /= 2;
            continue;
        }
        size += step;
        if (size > MostFileBytes) {
            // The file has left its record for clusters: the drive is not full after all, and
            // small files would only be ever larger files.
            driveNotFull_ = true;
            break;
        }
    }
    space_.Close(file);
}

void FreeRecordFill::CountFile(ProgressView& progress, const std::string& countPattern)
{
    ++files_;
    progress.SetLine(2, MessageText::WithNumber(countPattern, files_));
    context_.channel->PumpMessages();
}

Flow FreeRecordFill::Fill(ProgressView& progress)
{
    if (capacity_ == 0)
        return context_.stopRequest ? Flow::Stop : Flow::GoOn;
    // Two subfolders in every folder with room for two entries, so the tree grows in breadth and
    // its paths stay short (a chain of folders would end at the longest path with records still
    // free); the rest of the room is for files. A folder takes over a record as a file does.
    const unsigned subfolders = std::min(capacity_, 2u);
    const unsigned filesPerFolder = capacity_ - subfolders;
    const std::string countPattern = context_.LookupText(9921);

    // The first folder's files exist already, and its index has room beyond them: the last of
    // them took a cluster for it.
    std::vector<std::string> firstTaken;
    for (const std::string& path : firstEntries_) {
        if (context_.stopRequest)
            return Flow::Stop;
        HANDLE file = INVALID_HANDLE_VALUE;
        if (space_.OpenFile(path, &file) == 0)
            Grow(file);
        if (driveNotFull_)
            return Flow::GoOn;
        firstTaken.push_back(path.substr(first_.size() + 1));
        CountFile(progress, countPattern);
    }

    std::deque<std::string> folders{first_};
    while (!folders.empty()) {
        const std::string folder = folders.front();
        folders.pop_front();
        const bool first = folder == first_;
        std::vector<std::string> taken = first ? firstTaken : std::vector<std::string>();
        for (unsigned i = 0; i < filesPerFolder && !first; ++i) {
            if (context_.stopRequest)
                return Flow::Stop;
            // A failure is the end: no record is left (or the drive refuses for a reason of its
            // own, which the next file would meet as well).
            if (MakeFile(folder, taken) != 0 || driveNotFull_)
                return context_.stopRequest ? Flow::Stop : Flow::GoOn;
            CountFile(progress, countPattern);
        }
        if (context_.stopRequest)
            return Flow::Stop;
        // Subfolders only where the paths of their entries still fit the path buffers.
        if (folder.size() + 2 * (RecordNameLength + 1) >= MAX_PATH)
            continue;
        for (unsigned j = 0; j < subfolders; ++j) {
            std::string path = NewName(folder, taken);
            if (space_.NewFolder(path) != 0)
                return Flow::GoOn;
            made_.push_back({path, true});
            ++folders_;
            folders.push_back(path);
        }
    }
    return Flow::GoOn;
}

void FreeRecordFill::Clear()
{
    for (auto made = made_.rbegin(); made != made_.rend(); ++made)
        space_.Remove(made->path, made->folder);  // what stays holds only the wipe's pattern
    made_.clear();
}

namespace {

// Empties `folder` of the wipe's names, recursing into record folders; `top` is the work folder
// itself, the only place fill files are. True when none of the wipe's names is left in it.
bool EmptyOfWipeNames(const std::string& folder, bool top)
{
    struct Entry {
        std::string name;
        DWORD attributes;
    };
    std::vector<Entry> entries;
    {
        WIN32_FIND_DATAA data;
        AutoFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
        if (!find)
            return true;  // nothing to list, or nothing that can be reached
        do {
            if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
                entries.push_back({data.cFileName, data.dwFileAttributes});
        } while (FindNextFileA(find.Get(), &data));
    }
    bool emptied = true;
    for (const Entry& entry : entries) {
        const std::string path = Child(folder, entry.name);
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;  // a link is nothing the wipe made: left as it is
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsRecordName(entry.name.c_str()) || path.size() >= MAX_PATH)
                continue;
            bool inner = EmptyOfWipeNames(path, false);
            // A folder holding something else stays, and is no failure of ours.
            if (inner && !RemoveDirectoryA(path.c_str()) && GetLastError() != ERROR_DIR_NOT_EMPTY)
                emptied = false;
            emptied = emptied && inner;
            continue;
        }
        if (!(top && IsWipeFillName(entry.name.c_str())) && !IsRecordName(entry.name.c_str()))
            continue;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a failure shows in the deletion
        if (!DeleteFileA(path.c_str()) || !EntryIsGone(path))
            emptied = false;
    }
    return emptied;
}

}  // namespace

bool EmptyWorkFolder(const std::string& folder)
{
    return EmptyOfWipeNames(folder, true);
}
