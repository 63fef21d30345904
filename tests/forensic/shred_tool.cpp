// Drives the file shredder and the free-space wiper from a command line, for the forensic
// tests and the benchmark:
//   shred_tool file  <path>   <method> <passes>   shreds one file
//   shred_tool files <folder> <method> <passes>   shreds every file directly in a folder
//   shred_tool wipe  <root>   <method> <passes>   wipes a drive's free space ("M:\")
// followed by any of
//   --answer N        answer every question with N (default 6, the positive answer)
//   --silent FOLDER   a silent run: method and pass count are the job's, messages go to the log
//                     in FOLDER (a Windows path)
//   --time 1          prints the seconds the shredder took, without the process's start and end
// Questions and notices are printed. Interactive runs store the method and pass count as the
// user's settings; every setting the tool stores is removed afterwards. Exit status: 0 done,
// 1 the engine asked to stop, 2 bad arguments.
#include "app/ShredApp.h"
#include "common/ScopedWin.h"
#include "common/Settings.h"
#include "engine/FileShredder.h"
#include "engine/FreeSpaceWiper.h"
#include "engine/UserChannel.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class NullProgress : public ProgressView {
public:
    void ShowAndEnable() override {}
    void SetLine(int, const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void SetRange(long long) override {}
    void SetPosition(long long) override {}
    void Repaint() override {}
};

class PrintingChannel : public UserChannel {
public:
    Answer answer = Answer::Positive;
    Answer Ask(WarningStyle style, const std::string& text, const std::string&, DialogSize) override
    {
        std::printf("ask %d: %s\n", static_cast<int>(style), text.c_str());
        return answer;
    }
    void Alert(const std::string& text, const std::string&) override { std::printf("alert: %s\n", text.c_str()); }
    bool ShowNotice(NoticeMode, const std::string& text, const std::string&, bool* dontShowAgain) override
    {
        std::printf("notice: %s\n", text.c_str());
        *dontShowAgain = false;
        return answer == Answer::Positive;
    }
    std::unique_ptr<ProgressView> OpenProgress(HWND, int*) override { return std::make_unique<NullProgress>(); }
    void PumpMessages() override {}
};

void ForgetSettings()
{
    AutoRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Settings::KeyPath, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.Get(), "Method");     // absent is as good as deleted
    RegDeleteValueA(key.Get(), "PassCount");
    RegDeleteValueA(key.Get(), "AppPath");
}

// The installation image named by NW_DIST_DIR (a Unix path, seen through drive Z:), else the
// tool's own folder.
std::string PackFolder()
{
    const char* dist = std::getenv("NW_DIST_DIR");
    if (!dist || !*dist)
        return ProgramFolder();
    std::string path = "Z:";
    for (const char* p = dist; *p; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: shred_tool file|files|wipe <path> <method> <passes> [--answer N] [--silent FOLDER]\n");
        return 2;
    }
    std::string command = argv[1];
    std::string target = argv[2];

    PrintingChannel channel;
    ShredContext context;
    bool printTime = false;
    for (int i = 5; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--answer") {
            channel.answer = static_cast<Answer>(std::atoi(argv[i + 1]));
        } else if (option == "--time") {
            printTime = std::atoi(argv[i + 1]) != 0;
        } else if (option == "--silent") {
            context.silent = true;
            Settings::WriteString("AppPath", argv[i + 1]);
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    context.appPath = PackFolder();
    context.title = "Vantor Shredder";
    context.AllocateTransferBuffer();
    context.channel = &channel;
    context.machine.getDiskFreeSpaceEx = GetDiskFreeSpaceExA;
    context.job.method = std::atoi(argv[3]);
    context.job.passCount = std::atoi(argv[4]);
    if (!context.silent) {
        Settings::WriteNumber("Method", context.job.method);
        Settings::WriteNumber("PassCount", context.job.passCount);
    }

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool stop = false;
    if (command == "file") {
        stop = ShredFile(context, target, ItemOrigin::User) == Flow::Stop;
    } else if (command == "files") {
        // Listed first: shredding renames files while a listing runs.
        std::vector<std::string> paths;
        WIN32_FIND_DATAA entry;
        AutoFindHandle find(FindFirstFileA((target + "\\*").c_str(), &entry));
        if (find) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    paths.push_back(target + "\\" + entry.cFileName);
            } while (FindNextFileA(find.Get(), &entry));
        }
        find.Reset();
        for (const std::string& path : paths) {
            if ((stop = ShredFile(context, path, ItemOrigin::User) == Flow::Stop))
                break;
        }
    } else if (command == "wipe") {
        WipeFreeSpace(context, target);
    } else {
        ForgetSettings();
        std::fprintf(stderr, "unknown command %s\n", command.c_str());
        return 2;
    }
    QueryPerformanceCounter(&end);
    ReleaseProgressWindow(context);
    ForgetSettings();
    if (printTime)
        std::printf("%.4f\n", static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return stop ? 1 : 0;
}
