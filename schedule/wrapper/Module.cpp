#include "Module.h"

#include "Schedule.h"
#include "TypeLibrary.h"
#include "common/ClassFactory.h"
#include "common/ComModule.h"
#include "common/ScopedWin.h"

#include <mstask.h>
#include <oleauto.h>

#include <utility>

namespace taskmere {
namespace {

HMODULE g_module = nullptr;
ITypeLib* g_typeLib = nullptr;  // loaded on first use, released when nothing holds the module

// Objects of different apartments may ask for the library at the same time.
SRWLOCK g_typeLibLock = SRWLOCK_INIT;

HRESULT LoadOwnTypeLib(ITypeLib** library)
{
    AcquireSRWLockExclusive(&g_typeLibLock);
    HRESULT hr = S_OK;
    if (!g_typeLib) {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
        // REGKIND_NONE: a client's dispatch call must not write to the registry.
        hr = length == 0 || length >= MAX_PATH ? E_UNEXPECTED : LoadTypeLibEx(path, REGKIND_NONE, &g_typeLib);
    }
    if (SUCCEEDED(hr)) {
        g_typeLib->AddRef();
        *library = g_typeLib;
    }
    ReleaseSRWLockExclusive(&g_typeLibLock);
    return hr;
}

// Where the system has no message text for the task scheduler's own errors.
struct SchedulerError {
    HRESULT code;
    const wchar_t* text;
};
const SchedulerError kSchedulerErrors[] = {
    {SCHED_E_TRIGGER_NOT_FOUND, L"The task has no such trigger."},
    {SCHED_E_TASK_NOT_READY, L"The task is not ready to run: it lacks a schedule or a setting it needs."},
    {SCHED_E_TASK_NOT_RUNNING, L"The task is not running."},
    {SCHED_E_SERVICE_NOT_INSTALLED, L"The task scheduler service is not installed."},
    {SCHED_E_CANNOT_OPEN_TASK, L"The task cannot be opened."},
    {SCHED_E_INVALID_TASK, L"The object is not a valid task."},
    {SCHED_E_ACCOUNT_INFORMATION_NOT_SET, L"The task's account information is not set."},
    {SCHED_E_ACCOUNT_NAME_NOT_FOUND, L"The task's account name was not found."},
    {SCHED_E_UNKNOWN_OBJECT_VERSION, L"The task was written by an unknown version of the task scheduler."},
    {SCHED_E_SERVICE_NOT_RUNNING, L"The task scheduler service is not running."},
};

// Objects that are alive hold their own type information, so they are not affected.
void ReleaseOwnTypeLib()
{
    AcquireSRWLockExclusive(&g_typeLibLock);
    ITypeLib* library = std::exchange(g_typeLib, nullptr);
    ReleaseSRWLockExclusive(&g_typeLibLock);
    if (library)
        library->Release();
}

}  // namespace

HMODULE ModuleHandle()
{
    return g_module;
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
    // Best effort throughout: without the description, the error itself still reaches the caller.
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Receive())))
        return error;
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
    const wchar_t* description = length > 0 ? text : nullptr;
    for (const SchedulerError& known : kSchedulerErrors) {
        if (!description && known.code == error)
            description = known.text;
    }
    ReportError(error, description, iid);
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
    if (com::CanUnloadNow() != S_OK)
        return S_FALSE;
    taskmere::ReleaseOwnTypeLib();
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    static const com::CreatableClass classes[] = {
        {&CLSID_Schedule, &taskmere::CreateSchedule},
    };
    return com::GetClassObject(classes, clsid, iid, object);
}

}  // extern "C"
