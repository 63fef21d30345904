// Shelvane's self-registration called as regsvr32 calls it, for the results regsvr32 hides: the
// exact codes, a registration that stops at a key it cannot create, and an unregistration that
// stops at a key it cannot delete. The script runs it under the NT and the 9x platform
// (NW_EXPECT_NT says which the prefix reports to it).
#include "WideChecks.h"
#include "common/ScopedWin.h"
#include "tests/support/TestSupport.h"

#include <olectl.h>

#include <cstdlib>

#include <doctest/doctest.h>

namespace {

const wchar_t kClassKey[] = L"CLSID\\{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}";
const wchar_t kServerKey[] = L"CLSID\\{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}\\InProcServer32";
const wchar_t kFileHandlerKey[] = L"*\\shellex\\ContextMenuHandlers\\Vantor Shredder Context Menu";
const wchar_t kFolderHandlerKey[] = L"Folder\\shellex\\ContextMenuHandlers\\Vantor Shredder Context Menu";
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const wchar_t kApprovedValue[] = L"{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}";

bool ExpectNt()
{
    const char* expected = std::getenv("NW_EXPECT_NT");
    return !expected || std::string(expected) != "0";
}

bool KeyExists(HKEY root, const wchar_t* path)
{
    AutoRegKey key;
    return RegOpenKeyExW(root, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const wchar_t* path, const wchar_t* name)
{
    AutoRegKey key;
    return RegOpenKeyExW(root, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS &&
           RegQueryValueExW(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

using Entry = HRESULT(STDAPICALLTYPE*)();

class Server {
public:
    Server() : library_(LoadLibraryW(shelltest::Wide(test::DistFolder() + "\\Shelvane.dll").c_str())) {}
    HRESULT Register() const { return Call("DllRegisterServer"); }
    HRESULT Unregister() const { return Call("DllUnregisterServer"); }
    // Nothing of the server left in the registry, however much of it there was.
    void Clear() const
    {
        if (Register() == S_OK)
            Unregister();
    }

private:
    HRESULT Call(const char* name) const
    {
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library_.Get(), name)));
        return entry ? entry() : E_UNEXPECTED;
    }
    AutoLibrary library_;
};

}  // namespace

TEST_CASE("unregistering a server that is not registered reports SELFREG_E_CLASS and changes nothing")
{
    Server server;
    server.Clear();
    CHECK(server.Unregister() == static_cast<HRESULT>(0x80040201));
    CHECK(server.Unregister() == SELFREG_E_CLASS);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFileHandlerKey));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFolderHandlerKey));
    CHECK_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovedValue));
}

TEST_CASE("registration writes the approval value on the NT platform only, and unregistration takes it back")
{
    Server server;
    server.Clear();
    CHECK(server.Register() == S_OK);
    CHECK(KeyExists(HKEY_CLASSES_ROOT, kFolderHandlerKey));
    CHECK(ValueExists(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovedValue) == ExpectNt());
    CHECK(server.Unregister() == S_OK);
    CHECK_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovedValue));
}

TEST_CASE("registration stops at the first key it cannot create and keeps what it wrote")
{
    Server server;
    server.Clear();
    // A volatile class key takes no lasting subkey: the server key cannot be created below it.
    AutoRegKey blocking;
    REQUIRE(RegCreateKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            blocking.Receive(), nullptr) == ERROR_SUCCESS);
    CHECK(server.Register() == SELFREG_E_CLASS);
    CHECK(ValueExists(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kServerKey));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFileHandlerKey));
    CHECK_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovedValue));
    blocking.Reset();
    CHECK(RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey) == ERROR_SUCCESS);
}

TEST_CASE("unregistration stops at the first key it cannot delete; the later ones are not attempted")
{
    Server server;
    server.Clear();
    REQUIRE(server.Register() == S_OK);
    REQUIRE(RegDeleteKeyW(HKEY_CLASSES_ROOT, kFileHandlerKey) == ERROR_SUCCESS);
    CHECK(server.Unregister() == SELFREG_E_CLASS);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kServerKey));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, kFolderHandlerKey));
    CHECK(ValueExists(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovedValue) == ExpectNt());
    server.Clear();
}
