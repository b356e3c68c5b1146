#include "system/ShellNotification.h"

#include "foundation/DllLoader.h"
#include "foundation/Win.h"

#include <shlobj.h>

void NotifyAssociationsChanged() {
    using ChangeNotify = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
    DllLoader shell32;
    if (!shell32.Load(true, "shell32.dll", true)) return;
    if (ChangeNotify notify = shell32.GetProc<ChangeNotify>("SHChangeNotify", true))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
