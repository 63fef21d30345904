// Shelvane: the file manager's shred command. Only the exports exist so far; the
// context-menu handler comes with the extension itself.
#include <windows.h>
#include <objbase.h>

extern "C" {

STDAPI DllCanUnloadNow()
{
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID, REFIID, void** object)
{
    if (object)
        *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer()
{
    return E_NOTIMPL;
}

STDAPI DllUnregisterServer()
{
    return E_NOTIMPL;
}

}  // extern "C"
