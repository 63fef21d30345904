#include "tests/support/TestSupport.h"

#include "common/Settings.h"
#include "common/ScopedWin.h"

#include <cstdio>

namespace test {

TempFolder::TempFolder(const char* tag)
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof(name), "%s%s-%lu-%u", base, tag, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    AutoFindHandle find(FindFirstFileA((path + "\\*").c_str(), &entry));
    if (find) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find.Get(), &entry));
    }
    find.Reset();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

void DeleteSettingsKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, Settings::KeyPath);
}

bool SettingsKeyExists()
{
    AutoRegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, Settings::KeyPath, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

FreshSettings::FreshSettings()
{
    DeleteSettingsKey();
}

FreshSettings::~FreshSettings()
{
    DeleteSettingsKey();
}

void StoreRawValue(const char* name, DWORD type, const void* data, DWORD size)
{
    AutoRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, Settings::KeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                    nullptr);
    RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

bool ValueExists(const char* name)
{
    AutoRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Settings::KeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string ReadFileBytes(const std::string& path)
{
    AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WritePack(const std::string& appPath, const std::string& language, const std::string& body)
{
    CreateDirectoryA((appPath + "\\Lang").c_str(), nullptr);
    WriteFileBytes(appPath + "\\Lang\\" + language + ".ini", "[Quorlen Language Pack]\r\n" + body);
}

Answer ScriptedChannel::Ask(WarningStyle style, const std::string& text, const std::string& title, DialogSize size)
{
    questions.push_back({style, text, title, size});
    if (answers.empty())
        return Answer::Positive;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedChannel::ShowNotice(NoticeMode mode, const std::string& text, const std::string& title,
                                 bool* dontShowAgain)
{
    notices.push_back({mode, text, title});
    Answer answer = Answer::Positive;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    *dontShowAgain = answer == Answer::Positive && noticeDontShowAgain;
    return answer == Answer::Positive;
}

void ScriptedChannel::Alert(const std::string& text, const std::string&)
{
    alerts.push_back(text);
}

namespace {

class RecordedProgress : public ProgressView {
public:
    explicit RecordedProgress(std::vector<std::string>& log) : log_(log) {}
    void ShowAndEnable() override { log_.push_back("show"); }
    void SetLine(int line, const std::string& text) override
    {
        log_.push_back("line" + std::to_string(line) + ":" + text);
    }
    void SetCaption(const std::string& text) override { log_.push_back("caption:" + text); }
    void SetRange(long long maximum) override { log_.push_back("range:" + std::to_string(maximum)); }
    void SetPosition(long long position) override { log_.push_back("pos:" + std::to_string(position)); }
    void Repaint() override {}

private:
    std::vector<std::string>& log_;
};

}  // namespace

std::unique_ptr<ProgressView> ScriptedChannel::OpenProgress(HWND, int*)
{
    if (failProgress)
        return nullptr;
    progressLog.push_back("open");
    return std::make_unique<RecordedProgress>(progressLog);
}

void ScriptedChannel::PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace test

namespace test {

namespace {

std::string WindowsPathFromEnvironment(const char* name)
{
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string path = "Z:";
    for (const char* p = value; *p; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}

}  // namespace

void PrepareShredder(ShredContext& context, UserChannel& channel, const std::string& logFolder)
{
    Settings::WriteString("AppPath", logFolder);
    context.appPath = DistFolder();
    context.title = "Vantor Shredder";
    context.channel = &channel;
    context.AllocateTransferBuffer();
}

std::string DistFolder()
{
    return WindowsPathFromEnvironment("NW_DIST_DIR");
}

std::string SourceFolder()
{
    return WindowsPathFromEnvironment("NW_SOURCE_DIR");
}

InstalledComponents& Installed()
{
    static InstalledComponents components;
    return components;
}

}  // namespace test
