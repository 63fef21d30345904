// Helpers shared by the tests: temporary folders, the settings key, file contents and a
// user channel that answers from a script.
#pragma once

#include "app/Components.h"
#include "engine/ShredContext.h"
#include "engine/UserChannel.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace test {

// A fresh folder below the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const char* tag = "nw");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Removes a folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::string& path);

// Empties the settings key before and after a test, so every test starts on a fresh account.
class FreshSettings {
public:
    FreshSettings();
    ~FreshSettings();
};
void DeleteSettingsKey();
bool SettingsKeyExists();
// Stores a value of any type directly, as another program might.
void StoreRawValue(const char* name, DWORD type, const void* data, DWORD size);
bool ValueExists(const char* name);

std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A language pack at folder\Lang\<language>.ini holding `body` after the section line.
void WritePack(const std::string& appPath, const std::string& language, const std::string& body);

// Records every question and notice and answers from a queue (positive when it runs out).
class ScriptedChannel : public UserChannel {
public:
    struct Question {
        WarningStyle style;
        std::string text;
        std::string title;
        DialogSize size;
    };
    std::vector<Question> questions;
    std::vector<std::string> alerts;
    std::deque<Answer> answers;

    Answer Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size) override;
    void Alert(const std::string& text, const std::string& title) override;
    std::unique_ptr<ProgressView> OpenProgress(HWND parent, int* stopRequest) override;
    void PumpMessages() override;

    // Notices are recorded apart from questions; each takes its answer from `answers` too
    // (positive means OK), and reports the box as `noticeDontShowAgain`.
    struct Notice {
        NoticeMode mode;
        std::string text;
        std::string title;
    };
    std::vector<Notice> notices;
    bool noticeDontShowAgain = false;
    bool ShowNotice(NoticeMode mode, const std::string& text, const std::string& title, bool* dontShowAgain) override;

    // What the progress windows were told, in order ("line1:text", "caption:text", ...).
    std::vector<std::string> progressLog;
    bool failProgress = false;
};

}  // namespace test

namespace test {

// Start-up's component checks for tests of the rest of start-up: both components count as
// installed, and nothing is created, written or shown.
class InstalledComponents : public StartupComponents {
public:
    bool CheckSchedulerComponent(ShredContext&) override { return true; }
    ComPtr<IDispatch> CreateScheduler() override { return ComPtr<IDispatch>(); }
    void CheckMenuExtension(ShredContext&) override {}
};
InstalledComponents& Installed();

// Readies `context` for the shredders: its log in `logFolder` (the settings' AppPath), the real
// English texts of the build, the application title, `channel` and the transfer buffer.
void PrepareShredder(ShredContext& context, UserChannel& channel, const std::string& logFolder);

// The installation image of this build (build/dist), as a Windows path.
std::string DistFolder();
// The source tree, as a Windows path.
std::string SourceFolder();

}  // namespace test
