// Run-time binding to system functions that not every supported Windows
// version has: functions bound by name, modules loaded at run time, and the
// search path such loads go through.
#pragma once

#include "foundation/Errors.h"
#include "foundation/Win.h"

#include <string>
#include <type_traits>

// Functions bound by name at run time, for entries that not every supported
// system has, or whose DLL must not be a load-time import. The pointer type
// is the SDK's own declaration:
//   auto notify = BoundFunction<decltype(&::SHChangeNotify)>(shell32, "SHChangeNotify");
// A type written by hand compiles whatever it says, and a missing WINAPI
// corrupts the stack of the 32-bit build only; here it does not compile.
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

// Owns one module loaded at run time.
class DllLoader {
public:
    class Err : public AException {
    public:
        using AException::AException;
    };

    DllLoader();
    virtual ~DllLoader();
    DllLoader(const DllLoader&) = delete;
    DllLoader& operator=(const DllLoader&) = delete;

    // In every operation a failure throws Err, or with `quiet` returns null
    // and leaves the failing call's error as the thread's last error.
    // Loading into a loader that holds a module is an assertion failure.
    HMODULE Load(const std::string& name, bool quiet = false);
    HMODULE Load(bool fromSystemDirectory, const std::string& name, bool quiet = false);

    FARPROC GetProc(const std::string& entry, bool quiet = false);

    // Binds to the SDK's declaration: GetProc<decltype(&::IsValidSid)>("IsValidSid").
    template <typename Function>
    Function GetProc(const std::string& entry, bool quiet = false) {
        return AsBoundFunction<Function>(GetProc(entry, quiet));
    }

    HMODULE Module() const { return m_hDll; }
    void Free();

private:
    HMODULE LoadPath(const std::string& path, bool quiet);

    HMODULE m_hDll;
};

// An installer runs elevated, often from a downloads folder, and the
// uninstaller's temporary copy from the temporary directory: no DLL may be
// loaded from the executable's folder or the current directory. Limits
// run-time loads by bare name to the system directory where the system can
// (Windows 7 with KB2533623, Windows 8 and later); elsewhere only takes the
// current directory off the search path.
void RestrictDllSearchPath();
