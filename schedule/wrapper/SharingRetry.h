// The task scheduler service reads a task file whenever it changes, and while it does, saving or
// deleting that file fails with a sharing violation. Such a call is repeated for a short while.
#pragma once

#include <windows.h>

namespace taskmere {

template <typename Call>
HRESULT RetryWhileShared(Call call)
{
    const int kAttempts = 40;  // about two seconds in all
    HRESULT hr = call();
    for (int attempt = 1; attempt < kAttempts && hr == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION); ++attempt) {
        Sleep(50);
        hr = call();
    }
    return hr;
}

}  // namespace taskmere
