// A kernel32 function bound by name, for functions that older systems lack;
// null when the running system has none.
#pragma once

#include "foundation/Win.h"

template <typename Function>  // a WINAPI function-pointer type
Function KernelFunction(const char* name) {
    const FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
