#include "system/ShellLibrary.h"

#include "foundation/DllLoader.h"

#include <shlobj.h>

HMODULE Shell32() {
    static DllLoader shell32;
    static const HMODULE module = shell32.Load(true, "shell32.dll", true);
    return module;
}

void NotifyAssociationsChanged() {
    if (auto notify = ShellFunction<decltype(&::SHChangeNotify)>("SHChangeNotify"))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
