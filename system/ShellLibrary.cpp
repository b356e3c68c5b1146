#include "system/ShellLibrary.h"

#include "foundation/DllLoader.h"

FARPROC ShellFunctionAddress(const char* name) {
    static DllLoader shell32;
    static const HMODULE module = shell32.Load(true, "shell32.dll", true);
    return module ? shell32.GetProc(name, true) : nullptr;
}
