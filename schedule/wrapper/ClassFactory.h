// One class factory for every creatable class of the module, driven by a table of class ids and
// create functions.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace taskmere {

// Creates a new object and asks it for `iid`; the object is released if the interface is refused.
using CreateFunction = HRESULT (*)(REFIID iid, void** object);

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);

}  // namespace taskmere
