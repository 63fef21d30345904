// The handler as the file manager meets it: created through COM by its class after regsvr32,
// initialised with a data object of the selection, asked for its menu, invoked; the program it
// starts is a stand-in in the installation folder that records its exact command line.
#include "WideChecks.h"
#include "common/ScopedWin.h"
#include "tests/support/TestSupport.h"

#include <shlobj.h>

#include <doctest/doctest.h>

using shelltest::DropDataObject;
using shelltest::Utf8;
using shelltest::Wide;

namespace {

// From the start, so that every stand-in the tests start is waited for.
const bool g_countingProcesses = shelltest::StartCountingProcesses();

CLSID HandlerClass()
{
    CLSID clsid = {};
    CLSIDFromString(L"{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}", &clsid);
    return clsid;
}

std::wstring PathOfLength(size_t length)
{
    std::wstring path = L"C:\\";
    path.append(length - path.size(), L'p');
    return path;
}

HRESULT CallCanUnloadNow()
{
    HMODULE server = GetModuleHandleW(L"Shelvane.dll");
    if (!server)
        return E_UNEXPECTED;
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_UNEXPECTED;
}

// Unloads the server when nothing holds it, as the file manager's COM does from time to time.
bool ServerUnloaded()
{
    CoFreeUnusedLibrariesEx(0, 0);
    return GetModuleHandleW(L"Shelvane.dll") == nullptr;
}

// A handler of a server loaded afresh, so it has read the settings as they are now.
ComPtr<IContextMenu> NewHandler()
{
    CHECK(ServerUnloaded());
    ComPtr<IContextMenu> handler;
    HRESULT hr = CoCreateInstance(HandlerClass(), nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                  handler.ReceiveVoid());
    CHECK(hr == S_OK);
    return handler;
}

HRESULT Initialize(IContextMenu* handler, IDataObject* data)
{
    ComPtr<IShellExtInit> init;
    HRESULT hr = handler->QueryInterface(IID_IShellExtInit, init.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    return init->Initialize(nullptr, data, nullptr);
}

HRESULT Select(IContextMenu* handler, const std::vector<std::wstring>& paths)
{
    DropDataObject* data = DropDataObject::Create(paths);
    HRESULT hr = Initialize(handler, data);
    data->Release();
    return hr;
}

HRESULT Invoke(IContextMenu* handler, const char* verb)
{
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return handler->InvokeCommand(&info);
}

// The user picks the command from a real popup menu: its identifier gives the offset.
HRESULT Choose(IContextMenu* handler)
{
    const UINT first = 1000;
    HMENU menu = CreatePopupMenu();
    HRESULT hr = handler->QueryContextMenu(menu, 0, first, first + 50, CMF_NORMAL);
    UINT id = GetMenuItemID(menu, 0);
    DestroyMenu(menu);
    if (hr != MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1) || id < first)
        return E_UNEXPECTED;
    return Invoke(handler, MAKEINTRESOURCEA(id - first));
}

std::wstring MenuItemText(HMENU menu, UINT position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

// An installation folder made the settings' AppPath, with the English pack and, in place of
// Nullwright.exe, a program that writes its command line to "command line.txt" in its working
// folder.
class StandInInstallation {
public:
    explicit StandInInstallation(bool withProgram = true)
    {
        CreateDirectoryA((folder_.Path() + "\\Lang").c_str(), nullptr);
        CHECK(CopyFileA((test::DistFolder() + "\\Lang\\English.ini").c_str(),
                        (folder_.Path() + "\\Lang\\English.ini").c_str(), FALSE));
        if (withProgram)
            CHECK(CopyFileA((test::DistFolder() + "\\..\\tests\\echo_command_line.exe").c_str(), Program().c_str(),
                            FALSE));
        shelltest::SetSetting(L"AppPath", Wide(folder_.Path()));
    }
    ~StandInInstallation() { shelltest::WaitForStartedProcesses(); }

    const std::string& Path() const { return folder_.Path(); }
    std::string Program() const { return folder_ / "Nullwright.exe"; }
    // The command line the stand-in received; empty when it did not run within a minute.
    std::string Recorded() const
    {
        std::wstring record = Wide(folder_ / "command line.txt");
        if (!shelltest::WaitForFile(record))
            return std::string();
        shelltest::WaitForStartedProcesses();
        return test::ReadFileBytes(folder_ / "command line.txt");
    }
    bool Ran() const { return test::FileExists(folder_ / "command line.txt"); }

private:
    test::FreshSettings settings_;
    test::TempFolder folder_{"shelvane"};
};

}  // namespace

TEST_CASE("the server serves the handler's class alone, through a factory that refuses aggregation")
{
    REQUIRE(g_countingProcesses);
    ScopedCom com;
    REQUIRE(com.Succeeded());
    // The export itself, as COM calls it.
    AutoLibrary library(LoadLibraryW(Wide(test::DistFolder() + "\\Shelvane.dll").c_str()));
    REQUIRE(library);
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "DllGetClassObject")));
    REQUIRE(static_cast<bool>(getClassObject));
    void* poison = reinterpret_cast<void*>(0x5A5A5A5A);
    void* object = poison;
    CHECK(getClassObject(CLSID_ShellLink, IID_IClassFactory, &object) == CLASS_E_CLASSNOTAVAILABLE);
    CHECK(object == nullptr);

    ComPtr<IClassFactory> factory;
    REQUIRE(CoGetClassObject(HandlerClass(), CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.ReceiveVoid()) == S_OK);
    ComPtr<IUnknown> factoryIdentity;
    CHECK(factory->QueryInterface(IID_IUnknown, factoryIdentity.ReceiveVoid()) == S_OK);
    object = poison;
    CHECK(factory->QueryInterface(IID_IContextMenu, &object) == E_NOINTERFACE);
    CHECK(object == nullptr);

    object = poison;
    CHECK(factory->CreateInstance(factoryIdentity.Get(), IID_IUnknown, &object) == CLASS_E_NOAGGREGATION);
    CHECK(object == nullptr);
    object = poison;
    CHECK(factory->CreateInstance(nullptr, IID_IDataObject, &object) == E_NOINTERFACE);
    CHECK(object == nullptr);

    // The factory holds the server while it lives, and so does a lock.
    CHECK(CallCanUnloadNow() == S_FALSE);
    CHECK(factory->LockServer(TRUE) == S_OK);
    factoryIdentity.Reset();
    factory.Reset();
    CHECK(CallCanUnloadNow() == S_FALSE);
    REQUIRE(CoGetClassObject(HandlerClass(), CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.ReceiveVoid()) == S_OK);
    CHECK(factory->LockServer(FALSE) == S_OK);
    factory.Reset();
    CHECK(CallCanUnloadNow() == S_OK);
}

TEST_CASE("the handler answers IContextMenu, IShellExtInit and IUnknown with one reference count")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> menu = NewHandler();
    REQUIRE(menu);
    ComPtr<IShellExtInit> init;
    ComPtr<IUnknown> identity;
    REQUIRE(menu->QueryInterface(IID_IShellExtInit, init.ReceiveVoid()) == S_OK);
    REQUIRE(menu->QueryInterface(IID_IUnknown, identity.ReceiveVoid()) == S_OK);
    CHECK(static_cast<void*>(identity.Get()) == static_cast<void*>(init.Get()));
    ComPtr<IUnknown> again;
    CHECK(init->QueryInterface(IID_IContextMenu, again.ReceiveVoid()) == S_OK);
    CHECK(static_cast<void*>(again.Get()) == static_cast<void*>(menu.Get()));
    void* object = reinterpret_cast<void*>(0x5A5A5A5A);
    CHECK(menu->QueryInterface(IID_IContextMenu2, &object) == E_NOINTERFACE);
    CHECK(object == nullptr);
    CHECK(menu->QueryInterface(IID_IClassFactory, &object) == E_NOINTERFACE);

    // Four references through three interfaces, one count.
    CHECK(init->AddRef() == 5);
    CHECK(menu->Release() == 4);
    again.Reset();
    CHECK(CallCanUnloadNow() == S_FALSE);
    identity.Reset();
    init.Reset();
    menu.Reset();
    CHECK(CallCanUnloadNow() == S_OK);
    CHECK(ServerUnloaded());
}

TEST_CASE("the chosen selection reaches the program in the installation folder as its exact command line")
{
    ScopedCom com;
    struct Case {
        const char* name;
        std::vector<std::wstring> paths;
        std::string parameters;
    };
    std::wstring foreign = L"C:\\Data\\\u0141\u00F3d\u017A \uFF0E\u540D.txt";
    const Case cases[] = {
        {"one file", {L"C:\\a.txt"}, "\"C:\\a.txt\" \""},
        {"three items", {L"C:\\a.txt", L"D:\\b c.doc", L"E:\\Data"}, "\"C:\\a.txt\" \"D:\\b c.doc\" \"E:\\Data\" \""},
        {"a folder and a drive root", {L"C:\\Data\\Folder", L"C:\\"}, "\"C:\\Data\\Folder\" \"C:\\\" \""},
        {"a path of 259 characters", {PathOfLength(259)}, "\"" + Utf8(PathOfLength(259)) + "\" \""},
        {"a name outside the code page", {foreign}, "\"C:\\Data\\\xC5\x81\xC3\xB3" "d\xC5\xBA \xEF\xBC\x8E\xE5\x90\x8D.txt\" \""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        StandInInstallation installation;
        ComPtr<IContextMenu> handler = NewHandler();
        REQUIRE(handler);
        CHECK(Select(handler.Get(), c.paths) == S_OK);
        CHECK(Choose(handler.Get()) == S_OK);
        CHECK(installation.Recorded() == "\"" + installation.Program() + "\" " + c.parameters);
    }
}

TEST_CASE("a path of 261 characters is left out, and a message box with the application title says which first")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    shelltest::MessageBoxAnswerer answerer(L"Vantor Shredder");
    CHECK(Select(handler.Get(), {PathOfLength(261), L"C:\\a.txt"}) == S_OK);
    CHECK(Choose(handler.Get()) == S_OK);
    CHECK(installation.Recorded() == "\"" + installation.Program() + "\" \"C:\\a.txt\" \"");
    std::vector<std::wstring> told = answerer.Texts();
    REQUIRE(told.size() == 1);
    CHECK(told[0].find(PathOfLength(261)) != std::wstring::npos);
}

TEST_CASE("a selection too long for one command line starts nothing, and a message box tells how many items fit")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    shelltest::MessageBoxAnswerer answerer(L"Vantor Shredder");
    CHECK(Select(handler.Get(), std::vector<std::wstring>(140, PathOfLength(250))) == S_OK);
    DWORD started = shelltest::ProcessesStarted();
    CHECK(Choose(handler.Get()) == S_OK);
    CHECK(shelltest::ProcessesStarted() == started);
    std::vector<std::wstring> told = answerer.Texts();
    REQUIRE(told.size() == 1);
    CHECK(told[0].find(L" of these 140 items fit") != std::wstring::npos);
}

TEST_CASE("a selection of the longest command line the system takes arrives whole")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    // The quoted program and a blank, then 129 paths of 250 characters in quotation marks, each
    // with a blank after it, and the lone quotation mark: one more path fills the line's 32,766
    // characters.
    size_t used = installation.Program().size() + 3 + 129 * 253 + 1;
    std::vector<std::wstring> paths(129, PathOfLength(250));
    paths.push_back(PathOfLength(32766 - used - 3));
    CHECK(Select(handler.Get(), paths) == S_OK);
    CHECK(Choose(handler.Get()) == S_OK);
    std::string recorded = installation.Recorded();
    CHECK(recorded.size() == 32766);
    CHECK(recorded.substr(recorded.size() - 5) == "pp\" \"");
}

TEST_CASE("the menu gets one item with the pack's text, at the given position, under the first identifier")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    HMENU menu = CreatePopupMenu();
    REQUIRE(menu);
    AppendMenuW(menu, MF_STRING, 1, L"Open");
    AppendMenuW(menu, MF_STRING, 2, L"Properties");
    CHECK(handler->QueryContextMenu(menu, 1, 100, 200, CMF_NORMAL) == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    CHECK(GetMenuItemCount(menu) == 3);
    CHECK(GetMenuItemID(menu, 1) == 100);
    CHECK(MenuItemText(menu, 1) == L"Vantor Shredder");
    CHECK(MenuItemText(menu, 2) == L"Properties");

    // No identifier left in the range: nothing is added, so no other command's identifier is taken.
    CHECK(handler->QueryContextMenu(menu, 0, 300, 299, CMF_NORMAL) == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    CHECK(GetMenuItemCount(menu) == 3);
    // Without a menu there is nothing to add to.
    CHECK(handler->QueryContextMenu(nullptr, 0, 100, 200, CMF_NORMAL) == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    DestroyMenu(menu);
}

TEST_CASE("the menu text of a UTF-16 pack is inserted as the pack holds it; without settings it is the default")
{
    ScopedCom com;
    {
        StandInInstallation installation;
        std::wstring text = L"[Quorlen Language Pack]\r\n9606=Zniszcz \u2013 \u0141\u00F3d\u017A \u540D\r\n";
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
        test::WriteFileBytes(installation.Path() + "\\Lang\\Polski.ini", bytes);
        shelltest::SetSetting(L"Language", L"Polski");
        ComPtr<IContextMenu> handler = NewHandler();
        REQUIRE(handler);
        HMENU menu = CreatePopupMenu();
        CHECK(handler->QueryContextMenu(menu, 0, 1, 1, CMF_NORMAL) == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
        CHECK(MenuItemText(menu, 0) == L"Zniszcz \u2013 \u0141\u00F3d\u017A \u540D");
        DestroyMenu(menu);
    }
    test::FreshSettings none;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    HMENU menu = CreatePopupMenu();
    CHECK(handler->QueryContextMenu(menu, 0, 1, 1, CMF_NORMAL) == MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    CHECK(MenuItemText(menu, 0) == L"Vave Deveziza");
    DestroyMenu(menu);
    // Nor is a program started without an installation folder.
    CHECK(Select(handler.Get(), {L"C:\\a.txt"}) == S_OK);
    DWORD started = shelltest::ProcessesStarted();
    CHECK(Choose(handler.Get()) == E_FAIL);
    CHECK(shelltest::ProcessesStarted() == started);
}

TEST_CASE("a verb given by name, and an offset that is no command of the handler, start nothing")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    CHECK(Select(handler.Get(), {L"C:\\a.txt"}) == S_OK);
    DWORD started = shelltest::ProcessesStarted();
    CHECK(Invoke(handler.Get(), "shred") == S_OK);
    CHECK(Invoke(handler.Get(), "open") == S_OK);
    CHECK(Invoke(handler.Get(), MAKEINTRESOURCEA(1)) == E_INVALIDARG);
    CHECK(handler->InvokeCommand(nullptr) == E_INVALIDARG);
    CHECK(shelltest::ProcessesStarted() == started);
    CHECK_FALSE(installation.Ran());
}

TEST_CASE("GetCommandString confirms the command and writes no verb or help text it does not have")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    char buffer[64];
    memset(buffer, 0x5A, sizeof(buffer));
    CHECK(handler->GetCommandString(0, GCS_VALIDATEW, nullptr, buffer, 32) == S_OK);
    CHECK(handler->GetCommandString(0, GCS_VALIDATEA, nullptr, buffer, 64) == S_OK);
    CHECK(handler->GetCommandString(1, GCS_VALIDATEW, nullptr, buffer, 32) == S_FALSE);
    CHECK(handler->GetCommandString(0, GCS_VERBW, nullptr, buffer, 32) == E_NOTIMPL);
    CHECK(handler->GetCommandString(0, GCS_VERBA, nullptr, buffer, 64) == E_NOTIMPL);
    CHECK(handler->GetCommandString(0, GCS_HELPTEXTW, nullptr, buffer, 32) == E_NOTIMPL);
    CHECK(handler->GetCommandString(0, GCS_HELPTEXTA, nullptr, buffer, 64) == E_NOTIMPL);
    CHECK(std::string(buffer, sizeof(buffer)) == std::string(sizeof(buffer), '\x5A'));
}

TEST_CASE("Initialize called again replaces the selection and releases the data object it held")
{
    ScopedCom com;
    StandInInstallation installation;
    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    DropDataObject* first = DropDataObject::Create({L"C:\\first.txt"});
    DropDataObject* second = DropDataObject::Create({L"C:\\second.txt", L"C:\\third.txt"});
    CHECK(Initialize(handler.Get(), first) == S_OK);
    CHECK(first->References() == 2);
    CHECK(Initialize(handler.Get(), second) == S_OK);
    CHECK(first->References() == 1);
    CHECK(second->References() == 2);
    CHECK(Choose(handler.Get()) == S_OK);
    CHECK(installation.Recorded() ==
          "\"" + installation.Program() + "\" \"C:\\second.txt\" \"C:\\third.txt\" \"");

    SUBCASE("without a data object the selection is empty and nothing starts")
    {
        CHECK(Initialize(handler.Get(), nullptr) == E_FAIL);
        CHECK(second->References() == 1);
    }
    SUBCASE("a data object without file names leaves the selection empty")
    {
        DropDataObject* noDrop = DropDataObject::WithoutDrop();
        CHECK(Initialize(handler.Get(), noDrop) == E_FAIL);
        CHECK(second->References() == 1);
        handler.Reset();
        CHECK(noDrop->References() == 1);
        noDrop->Release();
        handler = NewHandler();
        REQUIRE(handler);
    }
    DeleteFileA((installation.Path() + "\\command line.txt").c_str());
    DWORD started = shelltest::ProcessesStarted();
    CHECK(Choose(handler.Get()) == S_OK);
    CHECK(shelltest::ProcessesStarted() == started);
    handler.Reset();
    CHECK(second->References() == 1);
    first->Release();
    second->Release();
}

TEST_CASE("the settings are read when the server is loaded, not again while it stays loaded")
{
    ScopedCom com;
    StandInInstallation installation;
    test::WritePack(installation.Path(), "First", "9606=First text\r\n");
    test::WritePack(installation.Path(), "Second", "9606=Second text\r\n");
    shelltest::SetSetting(L"Language", L"First");
    auto menuText = [](IContextMenu* handler) {
        HMENU menu = CreatePopupMenu();
        handler->QueryContextMenu(menu, 0, 1, 1, CMF_NORMAL);
        std::wstring text = MenuItemText(menu, 0);
        DestroyMenu(menu);
        return text;
    };
    ComPtr<IContextMenu> loaded = NewHandler();
    REQUIRE(loaded);
    shelltest::SetSetting(L"Language", L"Second");
    ComPtr<IContextMenu> later;
    REQUIRE(CoCreateInstance(HandlerClass(), nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, later.ReceiveVoid()) == S_OK);
    CHECK(menuText(later.Get()) == L"First text");
    loaded.Reset();
    later.Reset();
    ComPtr<IContextMenu> reloaded = NewHandler();
    REQUIRE(reloaded);
    CHECK(menuText(reloaded.Get()) == L"Second text");
}

TEST_CASE("only the program in the installation folder is started, never one of that name found elsewhere")
{
    ScopedCom com;
    StandInInstallation installation(false);
    // A program of that name in the current folder and on the search path.
    test::TempFolder elsewhere("decoy");
    REQUIRE(CopyFileA((test::DistFolder() + "\\..\\tests\\echo_command_line.exe").c_str(),
                      (elsewhere / "Nullwright.exe").c_str(), FALSE));
    // Both are given back when the case ends, however it ends.
    struct Surroundings {
        wchar_t folder[MAX_PATH] = {};
        std::wstring searchPath;
        Surroundings()
        {
            GetCurrentDirectoryW(MAX_PATH, folder);
            std::vector<wchar_t> value(32768);
            searchPath.assign(value.data(), GetEnvironmentVariableW(L"PATH", value.data(), 32768));
        }
        ~Surroundings()
        {
            SetEnvironmentVariableW(L"PATH", searchPath.c_str());
            SetCurrentDirectoryW(folder);
        }
    } surroundings;
    REQUIRE(SetCurrentDirectoryW(Wide(elsewhere.Path()).c_str()));
    REQUIRE(SetEnvironmentVariableW(L"PATH", (Wide(elsewhere.Path()) + L";" + surroundings.searchPath).c_str()));

    ComPtr<IContextMenu> handler = NewHandler();
    REQUIRE(handler);
    CHECK(Select(handler.Get(), {L"C:\\a.txt"}) == S_OK);
    DWORD started = shelltest::ProcessesStarted();
    CHECK(Choose(handler.Get()) == E_FAIL);
    CHECK(shelltest::ProcessesStarted() == started);
    CHECK_FALSE(test::FileExists(elsewhere / "command line.txt"));
}
