// Tells the shell about changes the installation made.
#pragma once

// SHChangeNotify(SHCNE_ASSOCCHANGED): file associations changed. shell32 is
// bound at run time from the system directory, so that the installer has no
// load-time dependency that could pull a DLL planted beside it.
void NotifyAssociationsChanged();
