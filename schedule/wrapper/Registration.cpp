// DllRegisterServer and DllUnregisterServer, both driven by one table of the keys and values an
// in-process automation server needs: unregistering removes exactly what registering wrote.
#include "Module.h"
#include "TypeLibrary.h"
#include "common/ComObject.h"
#include "common/ComRegistration.h"

#include <windows.h>

namespace taskmere {
namespace {

#ifdef _WIN64
#define TYPELIB_PLATFORM L"win64"
#else
#define TYPELIB_PLATFORM L"win32"
#endif

#define SERVER_CLASS(clsid, title)                                                            \
    {HKEY_CLASSES_ROOT, L"CLSID\\" clsid, nullptr, title},                                    \
    {HKEY_CLASSES_ROOT, L"CLSID\\" clsid L"\\InprocServer32", nullptr, L"<module>"},          \
    {HKEY_CLASSES_ROOT, L"CLSID\\" clsid L"\\InprocServer32", L"ThreadingModel", L"Apartment"}, \
    {HKEY_CLASSES_ROOT, L"CLSID\\" clsid L"\\TypeLib", nullptr, L"{libid}"},                  \
    {HKEY_CLASSES_ROOT, L"CLSID\\" clsid L"\\VERSION", nullptr, L"1.0"}

#define DUAL_INTERFACE(iid, name)                                                             \
    {HKEY_CLASSES_ROOT, L"Interface\\" iid, nullptr, name},                                   \
    {HKEY_CLASSES_ROOT, L"Interface\\" iid L"\\ProxyStubClsid", nullptr, L"{marshaler}"},     \
    {HKEY_CLASSES_ROOT, L"Interface\\" iid L"\\ProxyStubClsid32", nullptr, L"{marshaler}"},   \
    {HKEY_CLASSES_ROOT, L"Interface\\" iid L"\\TypeLib", nullptr, L"{libid}"},                \
    {HKEY_CLASSES_ROOT, L"Interface\\" iid L"\\TypeLib", L"Version", L"1.0"}

// Parents come before their children: registering walks the table forwards, unregistering
// backwards, removing each key once it holds nothing.
const com::RegistryEntry kEntries[] = {
    SERVER_CLASS(L"{Schedule}", L"TaskScheduler.Schedule"),
    {HKEY_CLASSES_ROOT, L"CLSID\\{Schedule}\\ProgID", nullptr, L"TaskScheduler.Schedule"},
    SERVER_CLASS(L"{Job}", L"TaskScheduler.Job"),
    SERVER_CLASS(L"{Triggers}", L"TaskScheduler.Triggers"),
    SERVER_CLASS(L"{Trigger}", L"TaskScheduler.Trigger"),
    {HKEY_CLASSES_ROOT, L"TaskScheduler.Schedule", nullptr, L"TaskScheduler.Schedule"},
    {HKEY_CLASSES_ROOT, L"TaskScheduler.Schedule\\CLSID", nullptr, L"{Schedule}"},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}", nullptr, nullptr},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}\\1.0", nullptr, L"Vantor Task Scheduler Class v1.01"},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}\\1.0\\FLAGS", nullptr, L"0"},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}\\1.0\\HELPDIR", nullptr, L"<folder>"},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}\\1.0\\409", nullptr, nullptr},
    {HKEY_CLASSES_ROOT, L"TypeLib\\{libid}\\1.0\\409\\" TYPELIB_PLATFORM, nullptr, L"<module>"},
    DUAL_INTERFACE(L"{_Schedule}", L"_Schedule"),
    DUAL_INTERFACE(L"{_Job}", L"_Job"),
    DUAL_INTERFACE(L"{_Triggers}", L"_Triggers"),
    DUAL_INTERFACE(L"{_Trigger}", L"_Trigger"),
};

#undef SERVER_CLASS
#undef DUAL_INTERFACE

// The type library marshaler, the proxy of every dual interface.
const CLSID kTypeLibraryMarshaler = {0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

com::Placeholders Identifiers()
{
    return {
        {L"{Schedule}", com::GuidText(CLSID_Schedule)},
        {L"{Job}", com::GuidText(CLSID_Job)},
        {L"{Triggers}", com::GuidText(CLSID_Triggers)},
        {L"{Trigger}", com::GuidText(CLSID_Trigger)},
        {L"{_Schedule}", com::GuidText(IID__Schedule)},
        {L"{_Job}", com::GuidText(IID__Job)},
        {L"{_Triggers}", com::GuidText(IID__Triggers)},
        {L"{_Trigger}", com::GuidText(IID__Trigger)},
        {L"{libid}", com::GuidText(LIBID_TaskScheduler)},
        {L"{marshaler}", com::GuidText(kTypeLibraryMarshaler)},
    };
}

}  // namespace
}  // namespace taskmere

extern "C" {

STDAPI DllRegisterServer()
{
    return com::Guard([] {
        std::wstring path, folder;
        if (!com::ModulePath(taskmere::ModuleHandle(), path, folder))
            return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        com::Placeholders placeholders = taskmere::Identifiers();
        placeholders.push_back({L"<module>", path});
        placeholders.push_back({L"<folder>", folder});
        return com::RegisterTable(taskmere::kEntries, sizeof(taskmere::kEntries) / sizeof(taskmere::kEntries[0]),
                                  placeholders);
    });
}

STDAPI DllUnregisterServer()
{
    return com::Guard([] {
        return com::UnregisterTable(taskmere::kEntries,
                                    sizeof(taskmere::kEntries) / sizeof(taskmere::kEntries[0]),
                                    taskmere::Identifiers());
    });
}

}  // extern "C"
