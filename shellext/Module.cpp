// The server's exports apart from registration: DllMain, DllGetClassObject (the handler's class
// only) and DllCanUnloadNow (the count of live objects and server locks).
#include "MenuHandler.h"
#include "Module.h"
#include "common/ClassFactory.h"
#include "common/ComModule.h"

namespace shelvane {
namespace {

HMODULE g_module = nullptr;

}  // namespace

HMODULE ModuleHandle()
{
    return g_module;
}

const ModuleSettings& LoadedSettings()
{
    static const ModuleSettings settings = ReadModuleSettings();
    return settings;
}

}  // namespace shelvane

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        shelvane::g_module = instance;
        DisableThreadLibraryCalls(instance);  // no per-thread state; a failure only costs the calls
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return com::CanUnloadNow();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    static const com::CreatableClass classes[] = {
        {&shelvane::CLSID_ShredMenuHandler, &shelvane::CreateMenuHandler},
    };
    if (object)
        *object = nullptr;
    return com::Guard([&] {
        shelvane::LoadedSettings();  // the server's first use after loading fixes its settings
        return com::GetClassObject(classes, clsid, iid, object);
    });
}

}  // extern "C"
