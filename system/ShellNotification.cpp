#include "system/ShellNotification.h"

#include "system/ShellLibrary.h"

#include <shlobj.h>

void NotifyAssociationsChanged() {
    using ChangeNotify = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
    if (ChangeNotify notify = ShellFunction<ChangeNotify>("SHChangeNotify"))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
