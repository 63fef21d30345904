// A shredder run in a temporary folder: the engine's context with its transfer buffer, the
// real English texts, the log in the folder, and a channel that can press cancel.
#pragma once

#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "engine/UserChannel.h"
#include "tests/support/TestSupport.h"

#include <string>

namespace test {

// A scripted channel that sets the stop request at the n-th message pump, as the progress
// window's cancel does, and can run a check at every pump.
class CancelChannel : public ScriptedChannel {
public:
    int stopAtPump = 0;  // 0: never
    int pumps = 0;
    int* stopRequest = nullptr;
    void (*onPump)(CancelChannel&) = nullptr;
    void* context = nullptr;

    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stop) override
    {
        stopRequest = stop;
        return ScriptedChannel::OpenProgress(parent, stop);
    }
    void PumpMessages() override
    {
        ++pumps;
        if (onPump)
            onPump(*this);
        if (pumps == stopAtPump && stopRequest) {
            *stopRequest = 1;
            progressLog.push_back("cancel");
        }
        ScriptedChannel::PumpMessages();
    }

    // Entries of the progress log that start with `prefix`.
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& entry : progressLog)
            n += entry.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
    // Entries after the first "cancel" that start with `prefix`.
    int CountAfterCancel(const std::string& prefix) const
    {
        int n = 0;
        bool after = false;
        for (const std::string& entry : progressLog) {
            if (entry == "cancel")
                after = true;
            else if (after)
                n += entry.compare(0, prefix.size(), prefix) == 0;
        }
        return n;
    }
};

struct EngineFixture {
    FreshSettings settings;
    TempFolder folder{"eng"};
    CancelChannel channel;
    ShredContext context;

    EngineFixture()
    {
        PrepareShredder(context, channel, folder.Path());
        context.machine.getDiskFreeSpaceEx = GetDiskFreeSpaceExA;
    }

    void UseMethod(int method, int passes)
    {
        Settings::WriteNumber("Method", method);
        Settings::WriteNumber("PassCount", passes);
    }
    void UseSilentJob(int method, int passes)
    {
        context.silent = true;
        context.job.method = method;
        context.job.passCount = passes;
    }
    std::string Text(int key) const { return context.LookupText(key); }
    std::string Log() const { return ReadFileBytes(folder / "log.txt"); }
};

// A file of `size` bytes, each byte 'M'.
inline std::string MakeFile(const std::string& path, size_t size)
{
    WriteFileBytes(path, std::string(size, 'M'));
    return path;
}

inline DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Names in a folder, "." and ".." left out.
std::vector<std::string> ListFolder(const std::string& folder);

}  // namespace test
