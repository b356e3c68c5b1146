// An installer runs elevated, often from a downloads folder, and the
// uninstaller's temporary copy from the temporary directory: no DLL may be
// loaded from the executable's folder or the current directory.
#pragma once

// Limits run-time loads by bare name to the system directory where the
// system can (Windows 7 with KB2533623, Windows 8 and later); elsewhere
// only takes the current directory off the search path.
void RestrictDllSearchPath();
