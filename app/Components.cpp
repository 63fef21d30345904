#include "app/Components.h"

#include "engine/Reporting.h"
#include "lang/MessageText.h"

#include <windows.h>
#include <objbase.h>

const char* const SchedulerClassKey = "CLSID\\{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}";
const char* const MenuExtensionClassKey = "CLSID\\{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}";
const char* const RecycleBinVerbKey = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\shell\\Vantor Shredder";

namespace {

bool ClassKeyOpens(const char* path)
{
    AutoRegKey key;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

// A directory search for exactly this file.
bool FileIsThere(const std::string& path)
{
    WIN32_FIND_DATAA found;
    AutoFindHandle search(FindFirstFileA(path.c_str(), &found));
    return search.IsValid() && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemFolder()
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// Sets the default value of `path` below the classes root, creating the key when missing.
void WriteDefault(const std::string& path, const std::string& value)
{
    AutoRegKey key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));  // unwritable: see the header
}

class SystemStartupComponents : public StartupComponents {
public:
    bool CheckSchedulerComponent(ShredContext& context) override { return ::CheckSchedulerComponent(context); }
    ComPtr<IDispatch> CreateScheduler() override { return CreateSchedulerObject(); }
    void CheckMenuExtension(ShredContext& context) override { ::CheckMenuExtension(context); }
};

}  // namespace

bool CheckSchedulerComponent(ShredContext& context)
{
    std::string folder = SystemFolder();
    if (ClassKeyOpens(SchedulerClassKey) && !folder.empty() && FileIsThere(folder + "\\Taskmere.dll"))
        return true;
    StartupNotice(context, MessageText::ExpandLineBreaks(context.LookupText(9060)));
    return false;
}

void CheckMenuExtension(ShredContext& context)
{
    if (!ClassKeyOpens(MenuExtensionClassKey) || !FileIsThere(context.appPath + "\\Shelvane.dll"))
        StartupNotice(context, MessageText::ExpandLineBreaks(context.LookupText(9059)));
    RegisterRecycleBinVerb(context);
}

std::string RecycleBinVerbCommand(const std::string& appPath)
{
    return "\"" + appPath + "\\Nullwright.exe\" recycle";
}

void RegisterRecycleBinVerb(ShredContext& context)
{
    WriteDefault(RecycleBinVerbKey, context.LookupText(12000));
    WriteDefault(std::string(RecycleBinVerbKey) + "\\command", RecycleBinVerbCommand(context.appPath));
}

ComPtr<IDispatch> CreateSchedulerObject()
{
    ComPtr<IDispatch> schedule;
    CLSID id;
    if (FAILED(CLSIDFromProgID(L"TaskScheduler.Schedule", &id)) ||
        FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, schedule.ReceiveVoid())))
        schedule.Reset();
    return schedule;
}

StartupComponents& SystemComponents()
{
    static SystemStartupComponents components;
    return components;
}
