// Tells the shell about changes the installation made.
#pragma once

// SHChangeNotify(SHCNE_ASSOCCHANGED): file associations changed.
void NotifyAssociationsChanged();
