#include "Module.h"

#include "ClassFactory.h"
#include "common/ScopedWin.h"

#include <oleauto.h>

namespace taskmere {
namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;
ITypeLib* g_typeLib = nullptr;  // loaded on first use, released when nothing holds the module

HRESULT LoadOwnTypeLib(ITypeLib** library)
{
    if (!g_typeLib) {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return E_UNEXPECTED;
        // REGKIND_NONE: a client's dispatch call must not write to the registry.
        HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &g_typeLib);
        if (FAILED(hr))
            return hr;
    }
    g_typeLib->AddRef();
    *library = g_typeLib;
    return S_OK;
}

void ReleaseOwnTypeLib()
{
    if (g_typeLib) {
        g_typeLib->Release();
        g_typeLib = nullptr;
    }
}

}  // namespace

HMODULE ModuleHandle()
{
    return g_module;
}

void LockModule()
{
    InterlockedIncrement(&g_locks);
}

void UnlockModule()
{
    InterlockedDecrement(&g_locks);
}

LONG ModuleLockCount()
{
    return g_locks;
}

HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** info)
{
    *info = nullptr;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLib(library.Receive());
    if (FAILED(hr))
        return hr;
    return library->GetTypeInfoOfGuid(iid, info);
}

HRESULT ReportError(HRESULT error, const wchar_t* description, REFIID iid)
{
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Receive())))
        return error;  // the error itself still reaches the caller
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"TaskScheduler"));
    if (description)
        create->SetDescription(const_cast<LPOLESTR>(description));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.ReceiveVoid())))
        SetErrorInfo(0, info.Get());
    return error;
}

HRESULT ReportSystemError(HRESULT error, REFIID iid)
{
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) {
        // The task scheduler's own codes have their texts in mstask.dll.
        HMODULE mstask = GetModuleHandleW(L"mstask.dll");
        if (mstask)
            length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    mstask, static_cast<DWORD>(error), 0,
                                    reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    }
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r'))
        text[--length] = 0;
    ReportError(error, length > 0 ? text : nullptr, iid);
    if (text)
        LocalFree(text);
    return error;
}

}  // namespace taskmere

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        taskmere::g_module = instance;
        DisableThreadLibraryCalls(instance);  // no per-thread state
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: oleaut32 is still there to take the reference back. At process
        // exit (reserved set) it may be gone already, so the reference is left to the exit.
        taskmere::ReleaseOwnTypeLib();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    if (taskmere::ModuleLockCount() != 0)
        return S_FALSE;
    taskmere::ReleaseOwnTypeLib();
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return taskmere::GetClassObject(clsid, iid, object);
}

}  // extern "C"
