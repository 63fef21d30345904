// What the whole Taskmere module shares: its instance handle, the type library behind every
// IDispatch, and rich errors. The count of live objects is common/ComModule.h.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace taskmere {

HMODULE ModuleHandle();

// The type information of one interface of the TaskScheduler library, loaded from this module's
// TYPELIB resource once and kept until the module may unload. The caller gets its own reference.
HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** info);

// Records rich error information for the calling thread and returns `error`, so a member can end
// with `return ReportError(...)`. Automation clients read it as Err.Number and Err.Description.
HRESULT ReportError(HRESULT error, const wchar_t* description, REFIID iid);
// The same for a failure of the system's task scheduler: its own message text, where it has one.
HRESULT ReportSystemError(HRESULT error, REFIID iid);

// Errors of the automation interface.
constexpr HRESULT kInvalidTriggerType = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 1);  // 0x80040001
constexpr HRESULT kSubscriptOutOfRange = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 9);  // 0x800A0009
constexpr HRESULT kOverflow = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 6);  // 0x800A0006

// The Creator text of tasks made by CreateTask (callers usually put their own mark over it).
constexpr const wchar_t* kComponentTitle = L"Taskmere";

}  // namespace taskmere
