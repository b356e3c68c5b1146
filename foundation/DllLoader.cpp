#include "foundation/DllLoader.h"

#include "foundation/Errors.h"
#include "foundation/Path.h"

namespace {

constexpr char kSource[] = "foundation/DllLoader.cpp";
// Report line numbers are fixed, so that reports stay comparable whatever
// the layout of this file.
constexpr unsigned kLoadByName = 7;
constexpr unsigned kLoadFromDirectory = 14;

// The error is taken before anything else can change it.
[[noreturn]] void ThrowFailure(const std::string& operation) {
    DWORD code = GetLastError();
    throw DllLoader::Err(operation + " failed. " + SystemError(code).what());
}

}  // namespace

DllLoader::DllLoader() : m_hDll(nullptr) {}

DllLoader::~DllLoader() {
    Free();
}

HMODULE DllLoader::Load(const std::string& name, bool quiet) {
    VELL_ASSERT(!m_hDll, kSource, kLoadByName);
    return LoadPath(name, quiet);
}

HMODULE DllLoader::Load(bool fromSystemDirectory, const std::string& name, bool quiet) {
    VELL_ASSERT(!m_hDll, kSource, kLoadFromDirectory);
    if (!fromSystemDirectory) return LoadPath(name, quiet);
    char directory[MAX_PATH + 1] = {};
    if (GetSystemDirectoryA(directory, MAX_PATH + 1) == 0) {
        if (quiet) return nullptr;
        ThrowFailure("GetSystemDirectory()");
    }
    return LoadPath(JoinPath(directory, name), quiet);
}

HMODULE DllLoader::LoadPath(const std::string& path, bool quiet) {
    m_hDll = LoadLibraryA(path.c_str());
    if (!m_hDll && !quiet) ThrowFailure("LoadLibrary(" + path + ")");
    return m_hDll;
}

FARPROC DllLoader::GetProc(const std::string& entry, bool quiet) {
    // A null module would make the system search the executable itself.
    FARPROC proc = nullptr;
    if (m_hDll)
        proc = GetProcAddress(m_hDll, entry.c_str());
    else
        SetLastError(ERROR_INVALID_HANDLE);
    if (!proc && !quiet) ThrowFailure("GetProcAddress(" + entry + ")");
    return proc;
}

void DllLoader::Free() {
    if (!m_hDll) return;
    FreeLibrary(m_hDll);
    m_hDll = nullptr;
}

// Neither function exists on every supported system.
void RestrictDllSearchPath() {
    const auto setDefault = KernelFunction<decltype(&::SetDefaultDllDirectories)>("SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    const auto setDirectory = KernelFunction<decltype(&::SetDllDirectoryA)>("SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");
}
