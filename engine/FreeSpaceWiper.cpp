#include "engine/FreeSpaceWiper.h"

#include "app/Settings.h"
#include "app/ShredApp.h"
#include "engine/ShredLog.h"
#include "engine/ShredPlan.h"
#include "engine/UserChannel.h"
#include "lang/MessageText.h"

#include <cstdint>
#include <memory>
#include <new>

namespace {

bool IsDriveFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

void ReportWriteError(ShredApp& app, DWORD error)
{
    std::string text = MessageText::WithPath(app.LookupText(9047), SystemErrorText(error));
    app.Report(StyleError, text + " " + MessageText::Hex8(error));
}

// Everything a run holds once its files exist; released in one place, whatever ended the run.
struct WipeRun {
    ShredApp& app;
    std::string folder;
    std::unique_ptr<WipeFileRecord[]> records;
    unsigned planned = 0;

    ~WipeRun()
    {
        ProgressView* progress = app.progressWindow.get();
        if (progress) {
            std::string wait = app.LookupText(9910);
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
        RemoveDirectoryA(folder.c_str());  // stays only when someone else put files into it
        if (app.parentWindow)
            EnableWindow(app.parentWindow, TRUE);  // returns the previous state, not a failure
        SetFocus(nullptr);  // returns the window that had the focus, not a failure
        ReleaseProgressWindow(app);
    }
};

}  // namespace

int FillWipeFile(ShredApp& app, WipeFileRecord& record)
{
    ProgressView& progress = *app.progressWindow;
    progress.SetRange(static_cast<long long>(WipeFileLimit / ShredBlockSize));
    progress.SetPosition(0);

    DWORD block = static_cast<DWORD>(ShredBlockSize);
    long long writes = 0;
    for (;;) {
        DWORD done = 0;
        if (!WriteFile(record.file, app.transferBuffer.get(), block, &done, nullptr) || done == 0) {
            DWORD error = GetLastError();
            if (block > WipeSmallestBlock) {
                block /= 2;  // never grows again for this file
                continue;
            }
            if (IsDriveFull(error) || error == ERROR_SUCCESS)
                return FillDriveFull;
            ReportWriteError(app, error);
            return FillWriteError;
        }
        ++writes;
        progress.SetPosition(writes);
        record.size += done;
        if (record.size >= WipeFileLimit)
            return FillFileLimit;
        app.channel->PumpMessages();
        if (app.stopRequest)
            return FillStopped;
    }
}

void WipeFreeSpace(ShredApp& app, const std::string& root)
{
    if (app.versionFlag && !app.silent)
        app.Report(StyleError, MessageText::ExpandLineBreaks(app.LookupText(9026)));

    if (!app.silent) {
        std::string text = MessageText::ExpandLineBreaks(app.LookupText(9027));
        app.messageText = text;
        if (!app.channel || app.channel->Ask(StyleContinueStop, text, app.LookupText(9063), true) != AnswerPositive)
            return;
    }

    int method = app.silent ? app.jobMethod : Settings::ReadNumber("Method", 0);
    app.stopRequest = 0;

    std::string folder = WipeFolderPath(root);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        app.Report(StyleNotice, MessageText::ExpandLineBreaks(app.LookupText(9012)));
        return;
    }

    char drive[2] = {root.empty() ? '?' : root[0], 0};
    MessageText::Values driveValues;
    driveValues.c = drive;
    unsigned long long available = 0, total = 0;
    // A drive whose space cannot be queried has none to wipe.
    QueryFreeSpace(app, root, &available, &total);
    if (available == 0) {
        app.Report(StyleNotice, MessageText::Compose(app.LookupText(total == 0 ? 9046 : 9045), driveValues));
        RemoveDirectoryA(folder.c_str());  // the folder is empty: nothing was written into it
        return;
    }
    if (available != total) {
        std::string text = MessageText::ExpandLineBreaks(app.LookupText(9033));
        if (app.Report(StyleYesNo, text) != AnswerPositive) {
            RemoveDirectoryA(folder.c_str());  // the folder is empty
            return;
        }
    }

    unsigned long long planned = PlannedWipeFiles(available);
    std::unique_ptr<WipeFileRecord[]> records;
    if (planned < SIZE_MAX / sizeof(WipeFileRecord) && planned < 0xFFFFFFFFull)
        records.reset(new (std::nothrow) WipeFileRecord[static_cast<size_t>(planned)]);
    if (!records) {
        app.Report(StyleError, MessageText::ExpandLineBreaks(app.LookupText(9006)));
        RemoveDirectoryA(folder.c_str());  // the folder is empty
        return;
    }
    unsigned count = static_cast<unsigned>(planned);

    if (app.parentWindow)
        EnableWindow(app.parentWindow, FALSE);  // returns the previous state, not a failure
    if (!AcquireProgressWindow(app)) {
        if (app.parentWindow)
            EnableWindow(app.parentWindow, TRUE);
        RemoveDirectoryA(folder.c_str());  // the folder is empty
        return;
    }

    ProgressView& progress = *app.progressWindow;
    progress.SetCaption(app.LookupText(9917) + " " + root.substr(0, 2));
    progress.SetLine(1, app.LookupText(9908));
    progress.SetLine(2, app.LookupText(9909));
    progress.SetLine(3, app.LookupText(9910));
    progress.SetRange(count);
    progress.SetPosition(0);
    progress.ShowAndEnable();
    progress.Repaint();

    FillPattern(app, FillZero);

    WipeRun run{app, folder, std::move(records), count};
    std::string stepPattern = app.LookupText(9914);
    std::string stepName = app.LookupText(IsThorough(method) ? 9916 : 9915);
    unsigned shown = count + 1;
    unsigned created = 0;
    for (unsigned i = 0; i < count; ++i) {
        WipeFileRecord& record = run.records[i];
        record.displayName = WipeFilePath(folder, i);
        record.file = CreateFileA(record.displayName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (record.file == INVALID_HANDLE_VALUE) {
            app.Report(StyleNotice, MessageText::ExpandLineBreaks(app.LookupText(9013)));
            return;
        }
        ++created;
        MessageText::Values values;
        values.s = &stepName;
        values.u = &created;
        values.t = &shown;
        progress.SetLine(1, MessageText::Compose(stepPattern, values));

        int result = FillWipeFile(app, record);
        if (result == FillWriteError || result == FillStopped)
            return;
        // A full file goes to the disk now: what the cache holds does not overwrite anything.
        if (!FlushFileBuffers(record.file)) {
            DWORD error = GetLastError();
            if (!IsDriveFull(error)) {
                ReportWriteError(app, error);
                return;
            }
        }
    }

    if (IsThorough(method)) {
        for (unsigned j = 0; j < created && !app.stopRequest; ++j) {
            if (ShredFile(app, std::string(), 0, &run.records[j], j + 1, created))
                break;
        }
    }
}
