// Modules loaded at run time, for system functions that not every supported
// Windows version has, and the search path such loads go through.
#pragma once

#include "foundation/BoundFunction.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"

#include <string>

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
