// What an in-process COM server shares across its objects: the count of live objects and
// server locks that decides DllCanUnloadNow. Every object holds the module once while it lives,
// and so does every IClassFactory::LockServer(TRUE).
#pragma once

#include <windows.h>

namespace com {

void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// S_OK when nothing holds the module, S_FALSE otherwise: the answer of DllCanUnloadNow.
HRESULT CanUnloadNow();

}  // namespace com
