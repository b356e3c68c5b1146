#include "system/ShellLibrary.h"

#include "foundation/DllLoader.h"

HMODULE Shell32() {
    static DllLoader shell32;
    static const HMODULE module = shell32.Load(true, "shell32.dll", true);
    return module;
}
