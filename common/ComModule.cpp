#include "common/ComModule.h"

namespace com {
namespace {

LONG g_locks = 0;

}  // namespace

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
    return InterlockedCompareExchange(&g_locks, 0, 0);
}

HRESULT CanUnloadNow()
{
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

}  // namespace com
