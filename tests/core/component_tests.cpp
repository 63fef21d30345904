// Start-up's checks of the two components and the Recycle Bin verb, against the registry and the
// system folder of the test prefix, through the real start-up: both components in place as the
// installer leaves them; the scheduler component's file there but its class not registered; a
// class key the user may read but not change; another language; a silent run.
#include "app/Components.h"
#include "app/ShredApp.h"
#include "common/Settings.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

using RegisterFunction = HRESULT(WINAPI*)();

// Calls DllRegisterServer or DllUnregisterServer of a component of the build.
HRESULT CallRegistration(const char* file, const char* function)
{
    std::string path = test::DistFolder() + "\\" + file;
    HMODULE module = LoadLibraryA(path.c_str());  // left loaded: objects may live in it
    REQUIRE(module != nullptr);
    auto call = reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(module, function)));
    REQUIRE(static_cast<bool>(call));
    return call();
}

std::string SystemFolder()
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    REQUIRE(length > 0);
    return std::string(path, length);
}

// The default value of a key below the classes root; "-" when the key or value is missing.
std::string ClassesDefault(const std::string& path)
{
    AutoRegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return "-";
    char value[1024] = "";
    DWORD size = sizeof(value) - 1, type = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "-";
    return value;
}

void SetClassesDefault(const std::string& path, const std::string& value)
{
    AutoRegKey key;
    REQUIRE(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                            nullptr) == ERROR_SUCCESS);
    REQUIRE(RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS);
}

// Both components as the installer leaves them, the program installed in `folder`.
struct Installed {
    test::FreshSettings settings;
    test::TempFolder folder{"components"};
    test::ScriptedChannel channel;

    Installed()
    {
        std::string system = SystemFolder() + "\\Taskmere.dll";
        std::string fresh = system + ".new";
        // Renamed into place: a program that has the old one loaded keeps it.
        REQUIRE(CopyFileA((test::DistFolder() + "\\Taskmere.dll").c_str(), fresh.c_str(), FALSE));
        REQUIRE(MoveFileExA(fresh.c_str(), system.c_str(), MOVEFILE_REPLACE_EXISTING));
        REQUIRE(CallRegistration("Taskmere.dll", "DllRegisterServer") == S_OK);
        REQUIRE(CallRegistration("Shelvane.dll", "DllRegisterServer") == S_OK);
        REQUIRE(CopyFileA((test::DistFolder() + "\\Shelvane.dll").c_str(), (folder / "Shelvane.dll").c_str(), FALSE));
        CreateDirectoryA((folder / "Lang").c_str(), nullptr);
        REQUIRE(CopyFileA((test::DistFolder() + "\\Lang\\English.ini").c_str(), (folder / "Lang\\English.ini").c_str(),
                          FALSE));
        Settings::WriteString("AppPath", folder.Path());
    }
    // Whatever a test did, the components are registered again for the tests after it.
    ~Installed()
    {
        CallRegistration("Taskmere.dll", "DllRegisterServer");
        CallRegistration("Shelvane.dll", "DllRegisterServer");
    }

    std::string English(int key) const { return LanguagePack::LookupText(folder.Path(), "English", key); }
    std::vector<std::string> QuestionTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& question : channel.questions)
            texts.push_back(question.text);
        return texts;
    }
};

// A started application (its end is the test's).
struct Started {
    ShredApp app;
    bool started = false;
    Started(Installed& installed, const std::string& line)
    {
        app.context.channel = &installed.channel;
        started = app.InitInstance(line);
    }
};

// Denies every right but reading on a key below the classes root while it lives.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const char* path) : path_(path)
    {
        AutoRegKey key;
        REQUIRE(RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, READ_CONTROL | WRITE_DAC, key.Receive()) == ERROR_SUCCESS);
        DWORD size = 0;
        RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        REQUIRE(RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, saved_.data(), &size) == ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        REQUIRE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                      nullptr));
        LONG set = RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, readOnly);
        LocalFree(readOnly);
        REQUIRE(set == ERROR_SUCCESS);
    }
    ~ReadOnlyKey()
    {
        AutoRegKey key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path_, 0, WRITE_DAC, key.Receive()) == ERROR_SUCCESS)
            RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, saved_.data());
    }
    // What a program asking for every right gets.
    static LONG OpenForAll(const char* path)
    {
        AutoRegKey key;
        return RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_ALL_ACCESS, key.Receive());
    }

private:
    const char* path_;
    std::vector<BYTE> saved_;
};

const std::string VerbCommandKey = std::string(RecycleBinVerbKey) + "\\command";

}  // namespace

TEST_CASE("the verb's command holds the program in quotes, then the word recycle")
{
    CHECK(RecycleBinVerbCommand("C:\\Program Files\\Vantor Shredder") ==
          "\"C:\\Program Files\\Vantor Shredder\\Nullwright.exe\" recycle");
    CHECK(RecycleBinVerbCommand("D:\\Tools") == "\"D:\\Tools\\Nullwright.exe\" recycle");
}

TEST_CASE("with both components in place start-up shows nothing, makes the Schedule object and writes the verb anew")
{
    Installed installed;
    SetClassesDefault(RecycleBinVerbKey, "an old caption");
    SetClassesDefault(VerbCommandKey, installed.folder / "Nullwright.exe recycle");
    Started interactive(installed, "");
    REQUIRE(interactive.started);
    CHECK(installed.channel.questions.empty());
    CHECK(static_cast<bool>(interactive.app.scheduler));
    CHECK(ClassesDefault(RecycleBinVerbKey) == "&Shred Recycle Bin");
    CHECK(ClassesDefault(VerbCommandKey) == "\"" + installed.folder.Path() + "\\Nullwright.exe\" recycle");
    interactive.app.ExitInstance();
}

TEST_CASE("the scheduler component's file without its class: key 9060, no Schedule object, start-up goes on")
{
    Installed installed;
    REQUIRE(CallRegistration("Taskmere.dll", "DllUnregisterServer") == S_OK);
    {
        Started interactive(installed, "");
        CHECK(interactive.started);
        CHECK_FALSE(static_cast<bool>(interactive.app.scheduler));
        REQUIRE(installed.channel.questions.size() == 1);
        CHECK(installed.channel.questions[0].style == WarningStyle::Notice);
        CHECK(installed.channel.questions[0].text == MessageText::ExpandLineBreaks(installed.English(9060)));
        CHECK(installed.channel.questions[0].title == "Vantor Shredder");
        interactive.app.ExitInstance();
    }
    // Without the extension's file as well, both notices come, in the order of start-up.
    DeleteFileA((installed.folder / "Shelvane.dll").c_str());
    installed.channel.questions.clear();
    {
        Started interactive(installed, "");
        CHECK(installed.QuestionTexts() == std::vector<std::string>{MessageText::ExpandLineBreaks(installed.English(9060)),
                                                                    MessageText::ExpandLineBreaks(installed.English(9059))});
        interactive.app.ExitInstance();
    }
    // The verb is written all the same.
    CHECK(ClassesDefault(VerbCommandKey) == "\"" + installed.folder.Path() + "\\Nullwright.exe\" recycle");
}

TEST_CASE("a silent run logs which component is missing instead of waiting on a dialog, and goes on")
{
    Installed installed;
    REQUIRE(CallRegistration("Taskmere.dll", "DllUnregisterServer") == S_OK);
    DeleteFileA((installed.folder / "Shelvane.dll").c_str());
    std::string target = installed.folder / "target.txt";
    test::WriteFileBytes(target, "secret");
    {
        Started silent(installed, "\"/s\" \"Nightly\" \"/O0\" \"/T1\" \"" + target + "\"");
        CHECK(silent.started);
        CHECK(installed.channel.questions.empty());
        silent.app.ExitInstance();
    }
    auto logged = [&](int key) {
        return MessageText::ReplaceAll(MessageText::ExpandLineBreaks(installed.English(key)), "\n", "\r\n") + "\r\n\r\n";
    };
    // The notices are not about the job: its outcome still follows them.
    CHECK(test::ReadFileBytes(installed.folder / "log.txt") ==
          "Task Name: Nightly\r\n" + logged(9060) + logged(9059) + "Success\r\n\r\n");
}

TEST_CASE("class keys a user may read but not change count as installed")
{
    Installed installed;
    ReadOnlyKey scheduler(SchedulerClassKey);
    ReadOnlyKey extension(MenuExtensionClassKey);
    // The platform keeps to the keys' rights: asking for all of them is refused.
    CHECK(ReadOnlyKey::OpenForAll(SchedulerClassKey) == ERROR_ACCESS_DENIED);
    CHECK(ReadOnlyKey::OpenForAll(MenuExtensionClassKey) == ERROR_ACCESS_DENIED);
    Started interactive(installed, "");
    CHECK(installed.channel.questions.empty());
    CHECK(static_cast<bool>(interactive.app.scheduler));
    interactive.app.ExitInstance();
}

TEST_CASE("the verb's caption follows the language of the latest start")
{
    Installed installed;
    test::WritePack(installed.folder.Path(), "Other", "9606=Vantor Shredder\r\n12000=&Other caption\r\n");
    Settings::WriteString("Language", "Other");
    {
        Started other(installed, "");
        other.app.ExitInstance();
    }
    CHECK(ClassesDefault(RecycleBinVerbKey) == "&Other caption");
    Settings::WriteString("Language", "English");
    {
        Started english(installed, "");
        english.app.ExitInstance();
    }
    CHECK(ClassesDefault(RecycleBinVerbKey) == "&Shred Recycle Bin");
}
