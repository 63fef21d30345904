#include "engine/FileShredder.h"

#include "app/Settings.h"
#include "app/ShredApp.h"
#include "common/ScopedWin.h"
#include "engine/ShredLog.h"
#include "engine/ShredPlan.h"
#include "engine/UserChannel.h"
#include "lang/MessageText.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

// ---------------------------------------------------------------------------------------------
// Computed parts

NameSpans LocateNameSpans(const char* path, size_t length)
{
    // The last component starts after the last separator; '/' and a drive's ':' count too, so a
    // rename never moves the file out of its folder.
    size_t start = length;
    while (start > 0 && path[start - 1] != '\\' && path[start - 1] != '/' && path[start - 1] != ':')
        --start;
    size_t dot = length;
    for (size_t i = length; i > start; --i) {
        if (path[i - 1] == '.') {
            dot = i - 1;
            break;
        }
    }
    NameSpans spans;
    spans.baseStart = start;
    spans.baseLength = dot - start;
    if (dot < length) {
        spans.extensionStart = dot + 1;
        spans.extensionLength = length - dot - 1;
    } else {
        spans.extensionStart = length;
    }
    return spans;
}

char RandomLetter(PatternGenerator& generator)
{
    for (;;) {
        char letter = static_cast<char>(generator.Next() & 0xFF);
        if ((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))
            return letter;
    }
}

void ReplaceNameSpans(char* name, size_t length, PatternGenerator& generator)
{
    NameSpans spans = LocateNameSpans(name, length);
    for (size_t i = 0; i < spans.baseLength; ++i)
        name[spans.baseStart + i] = RandomLetter(generator);
    for (size_t i = 0; i < spans.extensionLength; ++i)
        name[spans.extensionStart + i] = RandomLetter(generator);
}

namespace {

// The generator's rule: state = state * Multiplier + Increment; a value is bits 16 to 30.
constexpr unsigned Multiplier = 214013u;
constexpr unsigned Increment = 2531011u;
constexpr size_t Lanes = 16;

// The rule applied `steps` times, as one multiplier and one increment.
constexpr unsigned LeapMultiplier(size_t steps)
{
    unsigned result = 1;
    for (size_t i = 0; i < steps; ++i)
        result *= Multiplier;
    return result;
}
constexpr unsigned LeapIncrement(size_t steps)
{
    unsigned result = 0;
    for (size_t i = 0; i < steps; ++i)
        result = result * Multiplier + Increment;
    return result;
}
// The multiplier is odd, so it has an inverse modulo 2^32 (Newton's iteration).
constexpr unsigned InverseMultiplier()
{
    unsigned x = Multiplier;
    for (int i = 0; i < 5; ++i)
        x *= 2u - Multiplier * x;
    return x;
}
static_assert(Multiplier * InverseMultiplier() == 1u, "the multiplier's inverse");

}  // namespace

void FillRandomBytes(unsigned char* buffer, size_t count, PatternGenerator& generator)
{
    // Byte k is the low byte of the k-th generated value, exactly as one Next() per byte; the
    // values are computed in 16 interleaved lanes, each leaping 16 steps, which the compiler
    // turns into vector code instead of one long chain of dependent multiplications.
    unsigned state = generator.State();
    size_t i = 0;
    if (count >= Lanes) {
        constexpr unsigned leapMultiplier = LeapMultiplier(Lanes);
        constexpr unsigned leapIncrement = LeapIncrement(Lanes);
        unsigned lanes[Lanes];
        for (size_t j = 0; j < Lanes; ++j) {
            state = state * Multiplier + Increment;
            lanes[j] = state;
        }
        for (; i + Lanes <= count; i += Lanes) {
            for (size_t j = 0; j < Lanes; ++j) {
                buffer[i + j] = static_cast<unsigned char>(lanes[j] >> 16);
                lanes[j] = lanes[j] * leapMultiplier + leapIncrement;
            }
        }
        // lanes[0] is one step past the last byte written.
        state = (lanes[0] - Increment) * InverseMultiplier();
    }
    for (; i < count; ++i) {
        state = state * Multiplier + Increment;
        buffer[i] = static_cast<unsigned char>(state >> 16);
    }
    generator.Seed(state);
}

void ComplementBytes(unsigned char* buffer, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        buffer[i] = static_cast<unsigned char>(~buffer[i]);
}

std::string WipeFileLine(const std::string& pattern, const std::string& name, unsigned number, unsigned count)
{
    MessageText::Values values;
    values.s = &name;
    values.u = &number;
    values.t = &count;
    return MessageText::Compose(pattern, values);
}

std::string SystemErrorText(unsigned long code)
{
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return "Error " + MessageText::Hex8(code);
    return std::string(text, length);
}

std::string WriteFailureText(const std::string& pattern, const std::string& path, unsigned long code)
{
    return MessageText::WithPath(pattern, path) + SystemErrorText(code);
}

std::string WipeFolderPath(const std::string& root) { return root + "SHREDTMP.$$$"; }

std::string WipeFilePath(const std::string& folder, unsigned number)
{
    char name[32];
    std::snprintf(name, sizeof(name), "SHRED%03u.TMP", number);
    return folder + "\\" + name;
}

// ---------------------------------------------------------------------------------------------
// Shared operations

void FillPattern(ShredApp& app, int kind)
{
    unsigned char* buffer = app.transferBuffer.get();
    if (kind == FillZero)
        std::memset(buffer, 0, TransferBufferSize);
    else if (kind == FillRandom)
        FillRandomBytes(buffer, TransferBufferSize, app.generator);
    else
        ComplementBytes(buffer, TransferBufferSize);
}

bool AcquireProgressWindow(ShredApp& app)
{
    if (app.progressWindow)
        return true;
    if (app.channel)
        app.progressWindow = app.channel->OpenProgress(app.parentWindow, &app.stopRequest);
    if (app.progressWindow)
        return true;

    if (app.parentWindow)
        EnableWindow(app.parentWindow, TRUE);  // returns the previous state, not a failure
    std::string text = MessageText::ExpandLineBreaks(app.LookupText(9010));
    app.messageText = text;
    if (app.silent || !app.channel)
        LogMessage(app, text);
    else
        app.channel->Alert(text, app.title);
    return false;
}

void ReleaseProgressWindow(ShredApp& app)
{
    app.progressWindow.reset();
}

bool QueryFreeSpace(const ShredApp& app, const std::string& root, unsigned long long* available,
                    unsigned long long* total)
{
    *available = 0;
    *total = 0;
    if (app.getDiskFreeSpaceEx) {
        ULARGE_INTEGER callerFree, totalBytes, totalFree;
        if (!app.getDiskFreeSpaceEx(root.c_str(), &callerFree, &totalBytes, &totalFree))
            return false;
        *available = callerFree.QuadPart;
        *total = totalFree.QuadPart;
        return true;
    }
    if (app.getDiskFreeSpace) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!app.getDiskFreeSpace(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return false;
        // In 64 bits: a 32-bit product wraps above 4 GiB and would leave most of the space unwiped.
        unsigned long long bytes = static_cast<unsigned long long>(sectorsPerCluster) * bytesPerSector * freeClusters;
        *available = bytes;
        *total = bytes;
        return true;
    }
    return false;
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

std::string KeyWithPath(const ShredApp& app, int key, const std::string& path)
{
    return MessageText::WithPath(app.LookupText(key), path);
}

// Writes `size` bytes from the start of the file in blocks, advancing the progress bar after
// each block and letting the window's messages through (where a cancel arrives). With `refill`
// every block is freshly randomised first. The data is flushed to the disk before returning,
// also after a stop, so nothing truncated afterwards is left only in a cache. Returns 0, or the
// system's error code of a write that failed.
DWORD RunBlockLoop(ShredApp& app, HANDLE file, unsigned long long size, bool refill)
{
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return GetLastError();

    unsigned long long chunks = ChunkCount(size);
    unsigned long long written = 0;
    unsigned char* buffer = app.transferBuffer.get();
    for (unsigned long long k = 1; k <= chunks && !app.stopRequest; ++k) {
        DWORD n = static_cast<DWORD>(std::min<unsigned long long>(size - written, ShredBlockSize));
        if (n > 0) {
            if (refill)
                FillRandomBytes(buffer, n, app.generator);
            DWORD done = 0;
            if (!WriteFile(file, buffer, n, &done, nullptr))
                return GetLastError();
            if (done != n)
                return ERROR_WRITE_FAULT;
            written += n;
        }
        app.progressWindow->SetPosition(static_cast<long long>(k));
        app.progressWindow->Repaint();
        app.channel->PumpMessages();
    }
    if (!FlushFileBuffers(file))
        return GetLastError();
    return 0;
}

// The overwrite passes of one file: one pass of zeroes, or the thorough cycle `passes` times.
// Returns 0 or the error code of the write that failed.
DWORD OverwriteFile(ShredApp& app, HANDLE file, unsigned long long size, bool thorough, int passes)
{
    ProgressView& progress = *app.progressWindow;
    progress.SetRange(static_cast<long long>(ChunkCount(size)));
    progress.SetPosition(0);
    // Fills touch only the bytes a block can use: a small file costs no full-buffer pattern.
    size_t fillBytes = static_cast<size_t>(std::min<unsigned long long>(size, ShredBlockSize));

    if (!thorough) {
        progress.SetLine(2, app.LookupText(9903));
        progress.SetLine(3, app.LookupText(9904));
        std::memset(app.transferBuffer.get(), 0, fillBytes);
        return RunBlockLoop(app, file, size, false);
    }

    std::string passPattern = app.LookupText(9918);
    unsigned passCount = passes > 0 ? static_cast<unsigned>(passes) : 0;
    for (unsigned pass = 1; pass <= passCount && !app.stopRequest; ++pass) {
        MessageText::Values values;
        values.u = &pass;
        values.t = &passCount;
        progress.SetLine(3, MessageText::Compose(passPattern, values));
        for (int step = 0; step < 3 && !app.stopRequest; ++step) {
            progress.SetLine(2, app.LookupText(9905 + step));
            if (step == 0)
                FillRandomBytes(app.transferBuffer.get(), fillBytes, app.generator);
            else if (step == 1)
                ComplementBytes(app.transferBuffer.get(), fillBytes);
            DWORD error = RunBlockLoop(app, file, size, step == 2);
            if (error)
                return error;
        }
    }
    return 0;
}

}  // namespace

bool ShredFile(ShredApp& app, const std::string& path, int origin, WipeFileRecord* wipe, unsigned fileNumber,
               unsigned fileCount)
{
    int method = app.silent ? app.jobMethod : Settings::ReadNumber("Method", 0);
    int passes = app.silent ? app.jobPassCount : Settings::ReadNumber("PassCount", 3);
    bool thorough = IsThorough(method);

    app.generator.Seed(static_cast<unsigned long>(std::time(nullptr)));
    if (!AcquireProgressWindow(app))
        return true;
    ProgressView& progress = *app.progressWindow;
    progress.ShowAndEnable();

    if (wipe) {
        progress.SetLine(1, WipeFileLine(app.LookupText(9919), wipe->displayName, fileNumber, fileCount));
        DWORD error = OverwriteFile(app, wipe->file, wipe->size, thorough, passes);
        if (error) {
            std::string text = WriteFailureText(app.LookupText(9070), wipe->displayName, error);
            if (app.Report(StyleContinueStop, text, true) != AnswerPositive)
                return true;
        }
        return app.stopRequest != 0;
    }

    progress.SetLine(1, path);

    // The rename buffer holds the path and its terminator; a longer path is never cut.
    if (path.size() >= MAX_PATH) {
        app.Report(StyleNotice, KeyWithPath(app, 9071, path));
        return false;
    }

    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)) {
        app.Report(StyleNotice, KeyWithPath(app, 9034, path));
        return false;
    }

    const DWORD guarded = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((status.dwFileAttributes & guarded) && origin == OriginUser && !app.silent) {
        int answer = app.Report(StyleYesNoCancel, KeyWithPath(app, 9036, path));
        if (answer == AnswerCancel)
            return true;
        if (answer != AnswerPositive)
            return false;
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
        app.Report(StyleNotice, KeyWithPath(app, 9037, path));
        return origin != OriginUser;
    }

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) {
        size.LowPart = status.nFileSizeLow;
        size.HighPart = static_cast<LONG>(status.nFileSizeHigh);
    }

    DWORD error = OverwriteFile(app, file.Get(), static_cast<unsigned long long>(size.QuadPart), thorough, passes);
    if (error) {
        // Not destroyed, so not deleted as if it had been: left in place and reported.
        file.Reset();
        SetFileAttributesA(path.c_str(), status.dwFileAttributes);  // best effort; the failure is reported
        std::string text = WriteFailureText(app.LookupText(9070), path, error);
        return app.Report(StyleContinueStop, text, true) != AnswerPositive || app.stopRequest != 0;
    }

    LARGE_INTEGER start = {};
    // Both succeed on a handle that has just been written; the overwrite is already on the disk.
    SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN);
    SetEndOfFile(file.Get());
    file.Reset();

    if (origin == OriginBinOverwrite)
        return app.stopRequest != 0;

    ReplaceNameSpans(renamed, path.size(), app.generator);
    // When the random name is taken (or the rename fails otherwise) the file keeps its name: the
    // other file must never be deleted in its place.
    const char* current = MoveFileA(path.c_str(), renamed) ? renamed : path.c_str();
    if (!DeleteFileA(current) && origin == OriginUser) {
        if (current == renamed)
            MoveFileA(renamed, path.c_str());  // the report says which name it has
        std::string text = KeyWithPath(app, 9038, path);
        if (app.Report(StyleContinueStop, text, true) != AnswerPositive)
            return true;
    }
    return app.stopRequest != 0;
}
