#include "engine/FreeSpaceWiper.h"

#include "common/SystemError.h"
#include "engine/FreeRecords.h"
#include "engine/Reporting.h"
#include "engine/ShredLog.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"

#include <cstdint>
#include <memory>
#include <new>

namespace {

bool IsDriveFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

void ReportWriteError(ShredContext& context, DWORD error)
{
    std::string text = MessageText::WithPath(context.LookupText(9047), SystemErrorText(error));
    Report(context, WarningStyle::Error, text + " " + MessageText::Hex8(error));
}

// Everything a run holds once its files exist; released in one place, whatever ended the run.
struct WipeRun {
    ShredContext& context;
    std::string folder;
    std::unique_ptr<WipeFileRecord[]> records;
    unsigned planned = 0;
    FreeRecordFill& freeRecords;

    ~WipeRun()
    {
        ProgressView* progress = context.progressWindow.get();
        if (progress) {
            std::string wait = context.LookupText(9910);
            progress->SetLine(1, wait);
            progress->SetLine(2, wait);
            progress->SetLine(3, std::string());
            progress->SetRange(planned);
            progress->SetPosition(0);
            progress->Repaint();  // a cancel from here on changes nothing: every file goes
        }
        for (unsigned i = 0; i < planned; ++i) {
            WipeFileRecord& record = records[i];
            if (record.file != INVALID_HANDLE_VALUE) {
                // What was written reaches the disk before the file goes.
                FlushFileBuffers(record.file);  // a failure changes nothing: the file goes either way
                CloseHandle(record.file);       // our own open handle
                record.file = INVALID_HANDLE_VALUE;
                DeleteFileA(record.displayName.c_str());  // holds only the wipe's patterns if it stays
            }
            if (progress) {
                progress->SetPosition(static_cast<long long>(i) + 1);
                progress->Repaint();
            }
        }
        records.reset();
        freeRecords.Clear();
        RemoveDirectoryA(folder.c_str());  // stays only when someone else put files into it
        if (context.parentWindow)
            EnableWindow(context.parentWindow, TRUE);  // returns the previous state, not a failure
        SetFocus(nullptr);  // returns the window that had the focus, not a failure
        ReleaseProgressWindow(context);
    }
};

}  // namespace

FillResult FillWipeFile(ShredContext& context, WipeFileRecord& record)
{
    ProgressView& progress = *context.progressWindow;
    progress.SetRange(static_cast<long long>(WipeFileLimit / ShredBlockSize));
    progress.SetPosition(0);

    DWORD block = static_cast<DWORD>(ShredBlockSize);
    long long writes = 0;
    for (;;) {
        DWORD done = 0;
        if (!WriteFile(record.file, context.transferBuffer.get(), block, &done, nullptr) || done == 0) {
            DWORD error = GetLastError();
            if (block > WipeSmallestBlock) {
                block /= 2;  // never grows again for this file
                continue;
            }
            if (IsDriveFull(error) || error == ERROR_SUCCESS)
                return FillResult::DriveFull;
            ReportWriteError(context, error);
            return FillResult::WriteError;
        }
        ++writes;
        progress.SetPosition(writes);
        record.size += done;
        if (record.size >= WipeFileLimit)
            return FillResult::FileLimit;
        context.channel->PumpMessages();
        if (context.stopRequest)
            return FillResult::Stopped;
    }
}

void WipeFreeSpace(ShredContext& context, const std::string& root)
{
    DiskRecordSpace space(context, root);
    WipeFreeSpace(context, root, space);
}

void WipeFreeSpace(ShredContext& context, const std::string& root, RecordSpace& space)
{
    if (context.machine.versionFlag && !context.silent)
        Report(context, WarningStyle::Error, MessageText::ExpandLineBreaks(context.LookupText(9026)));

    if (!context.silent) {
        std::string text = MessageText::ExpandLineBreaks(context.LookupText(9027));
        if (AskInPerson(context, WarningStyle::ContinueStop, text, context.LookupText(9063), DialogSize::Big) !=
            Answer::Positive)
            return;
    }

    int method = context.Method();
    context.stopRequest = 0;

    std::string folder = WipeFolderPath(root);
    if (!CreateDirectoryA(folder.c_str(), nullptr)) {
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            Report(context, WarningStyle::Notice, MessageText::ExpandLineBreaks(context.LookupText(9012)));
            return;
        }
        // Only a folder of its own is used again: a link would take the fill files, and their
        // deletion, somewhere else; a file of that name is someone's data.
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9245), folder));
            return;
        }
        // What a wipe ended from outside left behind would keep its space from this one.
        EmptyWorkFolder(folder);  // what cannot be deleted is in use, or someone else's: it stays
    }

    char drive[2] = {root.empty() ? '?' : root[0], 0};
    MessageText::Values driveValues;
    driveValues.c = drive;
    unsigned long long available = 0, total = 0;
    // A drive whose space cannot be queried has none to wipe.
    QueryFreeSpace(context, root, &available, &total);
    if (available == 0) {
        Report(context, WarningStyle::Notice, MessageText::Compose(context.LookupText(total == 0 ? 9046 : 9045), driveValues));
        RemoveDirectoryA(folder.c_str());  // the folder is empty: nothing was written into it
        return;
    }
    if (available != total) {
        std::string text = MessageText::ExpandLineBreaks(context.LookupText(9033));
        if (Report(context, WarningStyle::YesNo, text) != Answer::Positive) {
            RemoveDirectoryA(folder.c_str());  // the folder is empty
            return;
        }
    }

    unsigned long long planned = PlannedWipeFiles(available);
    std::unique_ptr<WipeFileRecord[]> records;
    if (planned < SIZE_MAX / sizeof(WipeFileRecord) && planned < 0xFFFFFFFFull)
        records.reset(new (std::nothrow) WipeFileRecord[static_cast<size_t>(planned)]);
    if (!records) {
        Report(context, WarningStyle::Error, MessageText::ExpandLineBreaks(context.LookupText(9006)));
        RemoveDirectoryA(folder.c_str());  // the folder is empty
        return;
    }
    unsigned count = static_cast<unsigned>(planned);

    if (context.parentWindow)
        EnableWindow(context.parentWindow, FALSE);  // returns the previous state, not a failure
    if (!AcquireProgressWindow(context)) {
        if (context.parentWindow)
            EnableWindow(context.parentWindow, TRUE);
        RemoveDirectoryA(folder.c_str());  // the folder is empty
        return;
    }

    ProgressView& progress = *context.progressWindow;
    progress.SetCaption(context.LookupText(9917) + " " + root.substr(0, 2));
    progress.SetLine(1, context.LookupText(9908));
    progress.SetLine(2, context.LookupText(9909));
    progress.SetLine(3, context.LookupText(9910));
    progress.SetRange(count);
    progress.SetPosition(0);
    progress.ShowAndEnable();
    progress.Repaint();

    FillPattern(context, FillKind::Zero);

    FreeRecordFill freeRecords(context, space, folder);
    const bool ntfs = IsNtfsDrive(context, root);
    bool recordsPrepared = false;
    WipeRun run{context, folder, std::move(records), count, freeRecords};
    std::string stepPattern = context.LookupText(9914);
    std::string stepName = context.LookupText(IsThorough(method) ? 9916 : 9915);
    unsigned shown = count + 1;
    unsigned created = 0;
    for (unsigned i = 0; i < count; ++i) {
        WipeFileRecord& record = run.records[i];
        record.displayName = WipeFilePath(folder, i);
        record.file = CreateFileA(record.displayName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (record.file == INVALID_HANDLE_VALUE) {
            Report(context, WarningStyle::Notice, MessageText::ExpandLineBreaks(context.LookupText(9013)));
            return;
        }
        // The small files' first folder needs its room before the fill takes every cluster. It
        // is made once the first fill file is open, which tells a start-up that this wipe runs.
        if (i == 0 && ntfs)
            recordsPrepared = freeRecords.Prepare();
        ++created;
        MessageText::Values values;
        values.s = &stepName;
        values.u = &created;
        values.t = &shown;
        progress.SetLine(1, MessageText::Compose(stepPattern, values));

        FillResult result = FillWipeFile(context, record);
        if (result == FillResult::Stopped)
            context.incomplete = true;  // the free space after this file was never reached
        if (result == FillResult::WriteError || result == FillResult::Stopped)
            return;
        // A full file goes to the disk now: what the cache holds does not overwrite anything.
        if (!FlushFileBuffers(record.file)) {
            DWORD error = GetLastError();
            if (!IsDriveFull(error)) {
                ReportWriteError(context, error);
                return;
            }
        }
    }

    if (recordsPrepared) {
        MessageText::Values values;
        std::string recordStep = context.LookupText(9920);
        values.s = &recordStep;
        values.u = &shown;
        values.t = &shown;
        progress.SetLine(1, MessageText::Compose(stepPattern, values));
        progress.SetLine(2, MessageText::WithNumber(context.LookupText(9921), 0));
        if (freeRecords.Fill(progress) == Flow::Stop) {
            context.incomplete = true;  // free records were left as they were
            return;
        }
    }

    if (IsThorough(method)) {
        for (unsigned j = 0; j < created && !context.stopRequest; ++j) {
            if (OverwriteWipeFile(context, run.records[j], j + 1, created) == Flow::Stop) {
                context.incomplete = true;  // the passes were not all written
                break;
            }
        }
    }
}

void OfferToRemoveLeftWorkFolders(ShredContext& context, const std::vector<std::string>& wipedRoots)
{
    for (const DriveEntry& drive : context.machine.drives) {
        if (drive.root[0] == '\0' || GetDriveTypeA(drive.root) != DRIVE_FIXED)
            continue;
        bool wiped = false;
        for (const std::string& item : wipedRoots)
            wiped = wiped || (item.size() == 3 && lstrcmpiA(item.c_str(), drive.root) == 0);
        if (wiped)
            continue;
        const std::string folder = WipeFolderPath(drive.root);
        DWORD attributes = GetFileAttributesA(folder.c_str());
        // A file or a link of that name is not the wipe's (the wipe refuses it in its turn).
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        // A wipe that runs now holds its first fill file open without sharing: not a leftover.
        HANDLE first = CreateFileA(WipeFilePath(folder, 0).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (first == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
            continue;
        if (first != INVALID_HANDLE_VALUE)
            CloseHandle(first);  // opened only to see whether it is in use
        const std::string text = MessageText::WithPath(context.LookupText(9300), folder);
        if (context.silent) {
            StartupNotice(context, text);
            continue;
        }
        if (AskInPerson(context, WarningStyle::YesNo, text) != Answer::Positive)
            continue;
        EmptyWorkFolder(folder);  // whatever stays shows in the check below
        if (!RemoveDirectoryA(folder.c_str()) && GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
            Report(context, WarningStyle::Notice, MessageText::WithPath(context.LookupText(9301), folder));
    }
}
