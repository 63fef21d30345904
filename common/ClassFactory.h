// One class factory for every creatable class of a DLL, driven by a table of class ids and
// create functions: DllGetClassObject hands out a factory for a class of the table and refuses
// every other class. The factory refuses aggregation and holds the module for LockServer.
#pragma once

#include <objbase.h>

#include <cstddef>

namespace com {

// Creates a new object and asks it for `iid`; the object is released when the interface is
// refused, so a failure leaves nothing behind.
using CreateFunction = HRESULT (*)(REFIID iid, void** object);

struct CreatableClass {
    const CLSID* clsid;
    CreateFunction create;
};

// A factory for `clsid` asked for `iid`; CLASS_E_CLASSNOTAVAILABLE (and a null result) for a
// class the table does not hold.
HRESULT GetClassObject(const CreatableClass* classes, size_t count, REFCLSID clsid, REFIID iid, void** object);

template <size_t N>
HRESULT GetClassObject(const CreatableClass (&classes)[N], REFCLSID clsid, REFIID iid, void** object)
{
    return GetClassObject(classes, N, clsid, iid, object);
}

}  // namespace com
