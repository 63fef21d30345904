// DllRegisterServer and DllUnregisterServer over one table of the entries that make the file
// manager load the handler for every file and folder. Registering writes the rows in order and
// stops at the first that fails, keeping what it wrote; unregistering deletes the server's own
// keys, deepest first, and stops at the first key it cannot delete, so a server that is not
// registered reports that it was not.
#include "MenuHandler.h"
#include "Module.h"
#include "common/ComObject.h"
#include "common/ComRegistration.h"

#include <olectl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace shelvane {
namespace {

const com::RegistryEntry kEntries[] = {
    {HKEY_CLASSES_ROOT, L"CLSID\\{handler}", nullptr, L"<title>"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{handler}\\InProcServer32", nullptr, L"<module>"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{handler}\\InProcServer32", L"ThreadingModel", L"Apartment"},
    {HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\<title>", nullptr, L"{handler}"},
    {HKEY_CLASSES_ROOT, L"Folder\\shellex\\ContextMenuHandlers\\<title>", nullptr, L"{handler}"},
    // The list of extensions an administrator allows; only the NT platform keeps one.
    {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", L"{handler}",
     L"<title>", com::EntrySharedKey | com::EntryNtOnly},
};

com::Placeholders Identifiers()
{
    return {
        {L"{handler}", com::GuidText(CLSID_ShredMenuHandler)},
        {L"<title>", L"Vantor Shredder Context Menu"},
    };
}

using Key = std::pair<HKEY, std::wstring>;

bool IsBelow(const Key& key, const Key& parent)
{
    return key.first == parent.first && key.second.size() > parent.second.size() &&
           key.second.compare(0, parent.second.size(), parent.second) == 0 && key.second[parent.second.size()] == L'\\';
}

// The keys of the table that belong to the server, in table order except that every key comes
// after the keys below it.
std::vector<Key> OwnKeysDeepestFirst(const com::Placeholders& placeholders)
{
    std::vector<Key> keys;
    for (const com::RegistryEntry& entry : kEntries) {
        if ((entry.flags & com::EntrySharedKey) || !com::AppliesHere(entry))
            continue;
        Key key(entry.root, com::Expand(entry.key, placeholders));
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            continue;
        auto parent = std::find_if(keys.begin(), keys.end(), [&](const Key& listed) { return IsBelow(key, listed); });
        keys.insert(parent, key);
    }
    return keys;
}

HRESULT Register()
{
    std::wstring path, folder;
    if (!com::ModulePath(ModuleHandle(), path, folder))
        return SELFREG_E_CLASS;  // a cut path would name another file
    com::Placeholders placeholders = Identifiers();
    placeholders.push_back({L"<module>", path});
    for (const com::RegistryEntry& entry : kEntries) {
        if (com::AppliesHere(entry) && FAILED(com::WriteEntry(entry, placeholders)))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT Unregister()
{
    com::Placeholders placeholders = Identifiers();
    for (const Key& key : OwnKeysDeepestFirst(placeholders)) {
        if (RegDeleteKeyW(key.first, key.second.c_str()) != ERROR_SUCCESS)
            return SELFREG_E_CLASS;
    }
    for (const com::RegistryEntry& entry : kEntries) {
        // Our value in a list of the system's: one already gone leaves nothing to undo.
        if ((entry.flags & com::EntrySharedKey) && com::AppliesHere(entry))
            com::RemoveEntry(entry, placeholders);
    }
    return S_OK;
}

}  // namespace
}  // namespace shelvane

extern "C" {

STDAPI DllRegisterServer()
{
    return com::Guard(shelvane::Register);
}

STDAPI DllUnregisterServer()
{
    return com::Guard(shelvane::Unregister);
}

}  // extern "C"
