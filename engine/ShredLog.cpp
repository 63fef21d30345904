#include "engine/ShredLog.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"

std::string LogFilePath()
{
    std::string folder = Settings::ReadAppPath("");
    if (folder.empty())
        return std::string();  // never "\log.txt" at the root of the current drive
    std::string path = folder + "\\log.txt";
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
    // A line break or other control character in the name would start a line of its own.
    std::string name = taskName;
    for (char& ch : name) {
        unsigned char code = static_cast<unsigned char>(ch);
        if (code < 0x20 || code == 0x7F)
            ch = ' ';
    }
    AppendToLog("Task Name: " + name + "\n");
}

void AppendLogEntry(const std::string& text)
{
    AppendToLog(text + "\n\n");
}
