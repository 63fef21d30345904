// Taskmere: the task scheduler's automation component. Only the exports exist so far; the
// classes come with the component itself.
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
