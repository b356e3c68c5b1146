// Functions bound by name at run time, for entries that not every supported
// system has, or whose DLL must not be a load-time import. The pointer type
// is the SDK's own declaration:
//   auto notify = BoundFunction<decltype(&::SHChangeNotify)>(shell32, "SHChangeNotify");
// A type written by hand compiles whatever it says, and a missing WINAPI
// corrupts the stack of the 32-bit build only; here it does not compile.
#pragma once

#include "foundation/Win.h"

#include <type_traits>

namespace bound_function {

template <typename Result, typename... Arguments>
constexpr bool IsWinapi(Result(WINAPI*)(Arguments...)) {
    return true;
}
template <typename Other>
constexpr bool IsWinapi(Other) {
    return false;
}

}  // namespace bound_function

// The address GetProcAddress returned, as the declared function.
template <typename Function>
Function AsBoundFunction(FARPROC address) {
    static_assert(std::is_function_v<std::remove_pointer_t<Function>>, "bind to a function-pointer type");
    static_assert(bound_function::IsWinapi(Function{}), "functions bound at run time are WINAPI");
    // Through the generic function-pointer type, which every function type
    // converts from without a cast warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// Null when the module is null or lacks the entry; the thread's last error
// then says why.
template <typename Function>
Function BoundFunction(HMODULE module, const char* name) {
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return AsBoundFunction<Function>(GetProcAddress(module, name));
}

// An entry of kernel32, which every process has loaded.
template <typename Function>
Function KernelFunction(const char* name) {
    return BoundFunction<Function>(GetModuleHandleA("kernel32.dll"), name);
}
