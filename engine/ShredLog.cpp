#include "engine/ShredLog.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"

std::string LogFilePath()
{
    std::string path = Settings::ReadString("AppPath", "") + "\\log.txt";
    if (path.size() >= MAX_PATH)
        return std::string();
    return path;
}

void AppendToLog(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + 8);
    for (char ch : text) {
        if (ch == '\n')
            bytes += '\r';
        bytes += ch;
    }

    std::string path = LogFilePath();
    if (path.empty())
        return;
    // Append-only access: every write lands at the end, also beside other silent runs.
    AutoHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);  // lost when it fails
}

void WriteTaskLine(const std::string& taskName)
{
    AppendToLog("Task Name: " + taskName + "\n");
}

void AppendLogEntry(const std::string& text)
{
    AppendToLog(text + "\n\n");
}
