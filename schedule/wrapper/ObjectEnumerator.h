// The enumerator a collection's NewEnum returns: IEnumVARIANT over a snapshot of its objects, so
// that For Each walks the collection as it was when the loop began.
#pragma once

#include "common/ScopedWin.h"

#include <windows.h>
#include <oaidl.h>

#include <vector>

namespace taskmere {

using ObjectList = std::vector<ComPtr<IDispatch>>;

// Gives the enumerator's IUnknown in `*result`.
HRESULT CreateObjectEnumerator(ObjectList objects, IUnknown** result);

}  // namespace taskmere
