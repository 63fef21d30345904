#include "engine/FileShredder.h"

#include "common/CodePage.h"
#include "common/ScopedWin.h"
#include "common/SystemError.h"
#include "engine/FileIdentity.h"
#include "engine/FolderShredder.h"
#include "engine/Reporting.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>

// ---------------------------------------------------------------------------------------------
// Shared operations

void FillPattern(ShredContext& context, FillKind kind)
{
    unsigned char* buffer = context.transferBuffer.get();
    switch (kind) {
    case FillKind::Zero:
        std::memset(buffer, 0, TransferBufferSize);
        break;
    case FillKind::Random:
        FillRandomBytes(buffer, TransferBufferSize, context.generator);
        break;
    case FillKind::Complement:
        ComplementBytes(buffer, TransferBufferSize);
        break;
    }
}

bool AcquireProgressWindow(ShredContext& context)
{
    if (context.progressWindow)
        return true;
    if (context.channel)
        context.progressWindow = context.channel->OpenProgress(context.parentWindow, &context.stopRequest);
    if (context.progressWindow)
        return true;

    if (context.parentWindow)
        EnableWindow(context.parentWindow, TRUE);  // returns the previous state, not a failure
    Alert(context, MessageText::ExpandLineBreaks(context.LookupText(9010)));
    return false;
}

void ReleaseProgressWindow(ShredContext& context)
{
    context.progressWindow.reset();
}

bool QueryFreeSpace(const ShredContext& context, const std::string& root, unsigned long long* available,
                    unsigned long long* total)
{
    *available = 0;
    *total = 0;
    if (context.machine.getDiskFreeSpaceEx) {
        ULARGE_INTEGER callerFree, totalBytes, totalFree;
        if (!context.machine.getDiskFreeSpaceEx(root.c_str(), &callerFree, &totalBytes, &totalFree))
            return false;
        *available = callerFree.QuadPart;
        *total = totalFree.QuadPart;
        return true;
    }
    if (context.machine.getDiskFreeSpace) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!context.machine.getDiskFreeSpace(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return false;
        // In 64 bits: a 32-bit product wraps above 4 GiB and would leave most of the space unwiped.
        unsigned long long bytes = static_cast<unsigned long long>(sectorsPerCluster) * bytesPerSector * freeClusters;
        *available = bytes;
        *total = bytes;
        return true;
    }
    return false;
}

bool EntryIsGone(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    // Any other failure (access denied to an entry waiting for its deletion) may hide an entry.
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool ResolveShellPath(const std::string& text, std::string& path)
{
    wchar_t wide[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    if (length == 0)
        return false;

    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)) || !rawDesktop)
        return false;
    ComPtr<IShellFolder> desktop = ComPtr<IShellFolder>::Adopt(rawDesktop);

    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, &list, nullptr)) || !list)
        return false;
    char buffer[MAX_PATH];
    BOOL converted = SHGetPathFromIDListA(list, buffer);
    CoTaskMemFree(list);  // the shell's allocator
    if (!converted)
        return false;
    path = buffer;
    return true;
}

// ---------------------------------------------------------------------------------------------
// The file shredder

namespace {

std::string KeyWithPath(const ShredContext& context, int key, const std::string& path)
{
    return MessageText::WithPath(context.LookupText(key), path);
}

// What an overwrite did: the error code of a write that failed (0 when none did), and whether
// every byte of the file was overwritten at least once, which is when its data is gone.
struct Overwrite {
    DWORD error = 0;
    bool destroyed = false;
};

// Writes `size` bytes from the start of the file in blocks, advancing the progress bar after
// each block and letting the window's messages through (where a cancel arrives). With `refill`
// every block is freshly randomised first. The data is flushed to the disk before returning,
// also after a stop, so nothing truncated afterwards is left only in a cache. Returns 0, or the
// system's error code of a write that failed; `*written` counts the bytes written.
DWORD RunBlockLoop(ShredContext& context, HANDLE file, unsigned long long size, bool refill,
                   unsigned long long* written)
{
    *written = 0;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return GetLastError();

    unsigned long long chunks = ChunkCount(size);
    unsigned char* buffer = context.transferBuffer.get();
    for (unsigned long long k = 1; k <= chunks && !context.stopRequest; ++k) {
        DWORD n = static_cast<DWORD>(std::min<unsigned long long>(size - *written, ShredBlockSize));
        if (n > 0) {
            if (refill)
                FillRandomBytes(buffer, n, context.generator);
            DWORD done = 0;
            if (!WriteFile(file, buffer, n, &done, nullptr))
                return GetLastError();
            if (done != n)
                return ERROR_WRITE_FAULT;
            *written += n;
        }
        context.progressWindow->SetPosition(static_cast<long long>(k));
        context.progressWindow->Repaint();
        context.channel->PumpMessages();
    }
    if (!FlushFileBuffers(file))
        return GetLastError();
    return 0;
}

// The overwrite passes of one file: one pass of zeroes, or the thorough cycle `passes` times
// (at least once). The file's data is destroyed once one whole pass of zeroes, or one whole
// step 0 of the thorough cycle, has reached every byte; a stop before that leaves it readable.
Overwrite OverwriteFile(ShredContext& context, HANDLE file, unsigned long long size, bool thorough, int passes)
{
    ProgressView& progress = *context.progressWindow;
    progress.SetRange(static_cast<long long>(ChunkCount(size)));
    progress.SetPosition(0);
    // Fills touch only the bytes a block can use: a small file costs no full-buffer pattern.
    size_t fillBytes = static_cast<size_t>(std::min<unsigned long long>(size, ShredBlockSize));

    Overwrite result;
    unsigned long long written = 0;
    if (!thorough) {
        progress.SetLine(2, context.LookupText(9903));
        progress.SetLine(3, context.LookupText(9904));
        std::memset(context.transferBuffer.get(), 0, fillBytes);
        result.error = RunBlockLoop(context, file, size, false, &written);
        result.destroyed = result.error == 0 && written == size;
        return result;
    }

    std::string passPattern = context.LookupText(9918);
    unsigned passCount = static_cast<unsigned>(std::max(passes, MinPassCount));
    for (unsigned pass = 1; pass <= passCount && !context.stopRequest; ++pass) {
        MessageText::Values values;
        values.u = &pass;
        values.t = &passCount;
        progress.SetLine(3, MessageText::Compose(passPattern, values));
        for (int step = 0; step < 3 && !context.stopRequest; ++step) {
            progress.SetLine(2, context.LookupText(9905 + step));
            if (step == 0)
                FillRandomBytes(context.transferBuffer.get(), fillBytes, context.generator);
            else if (step == 1)
                ComplementBytes(context.transferBuffer.get(), fillBytes);
            result.error = RunBlockLoop(context, file, size, step == 2, &written);
            if (result.error)
                return result;
            if (written == size)
                result.destroyed = true;
        }
    }
    return result;
}

// The generator seeded, the progress window open and shown; false when it cannot be opened.
bool StartFile(ShredContext& context)
{
    context.generator.Seed(static_cast<unsigned long>(std::time(nullptr)));
    if (!AcquireProgressWindow(context))
        return false;
    context.progressWindow->ShowAndEnable();
    return true;
}

Flow StopRequested(const ShredContext& context)
{
    return context.stopRequest ? Flow::Stop : Flow::GoOn;
}

// What an open file is to the name it was opened by.
enum class Opened { Itself, ThroughLink, OneOfSeveralNames };

Opened WhatWasOpened(HANDLE file, const std::string& path)
{
    if (ReachedThroughLink(file, path))
        return Opened::ThroughLink;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information) && information.nNumberOfLinks > 1)
        return Opened::OneOfSeveralNames;
    return Opened::Itself;
}

using SetFileInformationFunc = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Gives an open file its attributes back (Windows Vista and later; earlier ones keep them
// normal, which is all they can do once the name is gone).
void RestoreAttributes(HANDLE file, DWORD attributes)
{
    static SetFileInformationFunc setInformation = [] {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        return kernel ? reinterpret_cast<SetFileInformationFunc>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetFileInformationByHandle")))
                      : nullptr;
    }();
    if (!setInformation)
        return;
    FILE_BASIC_INFO basic = {};  // zero times: left as they are
    basic.FileAttributes = attributes;
    setInformation(file, FileBasicInfo, &basic, sizeof(basic));  // best effort; the data is not at stake
}

// Removes one name of a file that has others: its data stays under them, and so do its
// attributes, which belong to the file rather than to the name. Tells the user either way.
void RemoveOneName(ShredContext& context, const std::string& path, DWORD attributes)
{
    // Held across the deletion, so the file is still there to take its attributes back.
    AutoHandle keeper(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    DWORD error = DeleteFileA(path.c_str()) ? 0 : GetLastError();
    if (keeper)
        RestoreAttributes(keeper.Get(), attributes);
    keeper.Reset();
    if (error != 0)
        SetFileAttributesA(path.c_str(), attributes);  // the name stays: best effort, it is reported
    else if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        error = ERROR_FILE_EXISTS;
    if (error == 0)
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9213, path));
    else
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9214, path) + SystemErrorText(error));
}

// "C:\file.txt:name" for a stream listed as ":name:$DATA", in the program's code page.
std::string StreamPath(const std::string& path, const NamedStream& stream)
{
    std::wstring name = stream.name;
    const std::wstring suffix = L":$DATA";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    std::string narrow;
    CodePage::Narrow(name, narrow);  // only shown: '?' stands in where the code page lacks one
    return path + narrow;
}

using FindFirstStreamFunc = HANDLE(WINAPI*)(LPCWSTR, STREAM_INFO_LEVELS, LPVOID, DWORD);
using FindNextStreamFunc = BOOL(WINAPI*)(HANDLE, LPVOID);

class SystemStreamList : public FileStreams {
public:
    SystemStreamList()
    {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel)
            return;
        first_ = reinterpret_cast<FindFirstStreamFunc>(reinterpret_cast<void*>(GetProcAddress(kernel, "FindFirstStreamW")));
        next_ = reinterpret_cast<FindNextStreamFunc>(reinterpret_cast<void*>(GetProcAddress(kernel, "FindNextStreamW")));
    }
    std::vector<NamedStream> List(const std::string& path) override
    {
        std::vector<NamedStream> streams;
        std::wstring wide = CodePage::Widen(path);
        if (!first_ || !next_ || wide.empty())
            return streams;
        WIN32_FIND_STREAM_DATA data;
        // None at all (ERROR_HANDLE_EOF) on file systems without streams, and under Wine.
        AutoFindHandle find(first_(wide.c_str(), FindStreamInfoStandard, &data, 0));
        if (!find)
            return streams;
        do {
            if (std::wcscmp(data.cStreamName, L"::$DATA") != 0)
                streams.push_back({data.cStreamName, static_cast<unsigned long long>(data.StreamSize.QuadPart)});
        } while (next_(find.Get(), &data));
        return streams;
    }
    HANDLE Open(const std::string& path, const NamedStream& stream) override
    {
        std::wstring wide = CodePage::Widen(path);
        if (wide.empty())
            return INVALID_HANDLE_VALUE;
        return CreateFileW((wide + stream.name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_WRITE_THROUGH, nullptr);
    }

private:
    FindFirstStreamFunc first_ = nullptr;
    FindNextStreamFunc next_ = nullptr;
};

}  // namespace

FileStreams& SystemStreams()
{
    static SystemStreamList streams;
    return streams;
}

Flow OverwriteWipeFile(ShredContext& context, WipeFileRecord& wipe, unsigned fileNumber, unsigned fileCount)
{
    bool thorough = IsThorough(context.Method());
    int passes = context.PassCount();
    if (!StartFile(context))
        return Flow::Stop;
    context.progressWindow->SetLine(1, WipeFileLine(context.LookupText(9919), wipe.displayName, fileNumber, fileCount));
    DWORD error = OverwriteFile(context, wipe.file, wipe.size, thorough, passes).error;
    if (error) {
        std::string text = WriteFailureText(context.LookupText(9070), wipe.displayName, error);
        if (Report(context, WarningStyle::ContinueStop, text, DialogSize::Big) != Answer::Positive)
            return Flow::Stop;
    }
    return StopRequested(context);
}

Flow ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin, FileStreams& streams)
{
    bool thorough = IsThorough(context.Method());
    int passes = context.PassCount();
    if (!StartFile(context))
        return Flow::Stop;
    context.progressWindow->SetLine(1, path);

    // The rename buffer holds the path and its terminator; a longer path is never cut.
    if (path.size() >= MAX_PATH) {
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9071, path));
        return Flow::GoOn;
    }

    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)) {
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9034, path));
        return Flow::GoOn;
    }

    const DWORD guarded = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((status.dwFileAttributes & guarded) && origin == ItemOrigin::User && !context.silent) {
        Answer answer = Report(context, WarningStyle::YesNoCancel, KeyWithPath(context, 9036, path));
        if (answer == Answer::Cancel)
            return Flow::Stop;
        if (answer != Answer::Positive)
            return Flow::GoOn;
    }

    // A failed change shows as a failed open below.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    char renamed[MAX_PATH];
    std::memcpy(renamed, path.c_str(), path.size() + 1);

    AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH,
                                nullptr));
    if (!file) {
        // Untouched means untouched: the attributes go back as they were.
        SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // best effort; the file is reported
        // Logged for every origin: a silent run that left a file whole must not end in "Success".
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9037, path));
        return origin == ItemOrigin::User ? Flow::GoOn : Flow::Stop;
    }

    // The file opened must be the entry named, and its only name: a link's target and the data of
    // other names were never chosen.
    const Opened opened = WhatWasOpened(file.Get(), path);
    if (opened != Opened::Itself) {
        file.Reset();
        if (opened == Opened::ThroughLink) {
            SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // the target's own, given back
            RemoveLinkItem(context, path, false);
        } else {
            RemoveOneName(context, path, status.dwFileAttributes);
        }
        return StopRequested(context);
    }

    // Named streams first, with the same method: the main stream's overwrite never reaches them.
    for (const NamedStream& stream : streams.List(path)) {
        AutoHandle streamFile(streams.Open(path, stream));
        Overwrite streamOverwrite;
        if (!streamFile)
            streamOverwrite.error = GetLastError() != 0 ? GetLastError() : ERROR_OPEN_FAILED;
        else
            streamOverwrite = OverwriteFile(context, streamFile.Get(), stream.size, thorough, passes);
        streamFile.Reset();
        if (streamOverwrite.error == 0 && streamOverwrite.destroyed)
            continue;
        // Not destroyed, so the file is not deleted as if it had been: left in place and reported.
        file.Reset();
        SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // best effort; the failure is reported
        context.incomplete = true;
        if (streamOverwrite.error == 0) {
            Report(context, WarningStyle::Notice, KeyWithPath(context, 9242, path));
            return Flow::Stop;
        }
        std::string text = WriteFailureText(context.LookupText(9070), StreamPath(path, stream), streamOverwrite.error);
        if (Report(context, WarningStyle::ContinueStop, text, DialogSize::Big) != Answer::Positive)
            return Flow::Stop;
        return StopRequested(context);
    }

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) {
        size.LowPart = status.nFileSizeLow;
        size.HighPart = static_cast<LONG>(status.nFileSizeHigh);
    }

    Overwrite overwrite =
        OverwriteFile(context, file.Get(), static_cast<unsigned long long>(size.QuadPart), thorough, passes);
    if (overwrite.error) {
        // Not destroyed, so not deleted as if it had been: left in place and reported.
        file.Reset();
        SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // best effort; the failure is reported
        context.incomplete = true;
        std::string text = WriteFailureText(context.LookupText(9070), path, overwrite.error);
        if (Report(context, WarningStyle::ContinueStop, text, DialogSize::Big) != Answer::Positive)
            return Flow::Stop;
        return StopRequested(context);
    }
    if (!overwrite.destroyed) {
        // Stopped while some of the data was still readable: deleting the file now would leave
        // that data on the disk where nobody can find it any more. It stays as the user knows it.
        file.Reset();
        SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // best effort; the file is reported
        context.incomplete = true;
        Report(context, WarningStyle::Notice, KeyWithPath(context, 9242, path));
        return Flow::Stop;
    }

    LARGE_INTEGER start = {};
    // Both succeed on a handle that has just been written; the overwrite is already on the disk.
    SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN);
    SetEndOfFile(file.Get());
    file.Reset();

    if (origin == ItemOrigin::BinOverwrite)
        return StopRequested(context);

    ReplaceNameSpans(renamed, path.size(), context.generator);
    // When the random name is taken (or the rename fails otherwise) the file keeps its name: the
    // other file must never be deleted in its place.
    const char* current = MoveFileA(path.c_str(), renamed) ? renamed : path.c_str();
    // A delete can report success and leave the entry (a folder whose entries cannot change,
    // another program holding the file open with delete sharing): only its absence counts.
    bool deleted = DeleteFileA(current) != FALSE;
    if ((deleted && EntryIsGone(current)) || origin != ItemOrigin::User)
        return StopRequested(context);

    context.incomplete = true;
    std::string text;
    if (current == path.c_str() || MoveFileA(renamed, path.c_str()))
        text = KeyWithPath(context, 9038, path);
    else
        text = KeyWithPath(context, 9244, renamed);  // it could not be given its name back
    if (Report(context, WarningStyle::ContinueStop, text, DialogSize::Big) != Answer::Positive)
        return Flow::Stop;
    return StopRequested(context);
}
