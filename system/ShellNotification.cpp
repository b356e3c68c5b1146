#include "system/ShellNotification.h"

#include "system/ShellLibrary.h"

#include <shlobj.h>

void NotifyAssociationsChanged() {
    if (auto notify = ShellFunction<decltype(&::SHChangeNotify)>("SHChangeNotify"))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
