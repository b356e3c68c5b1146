// The temporary copy runs from the temporary directory, where anyone can
// plant a DLL: system libraries are loaded from the system directory only.
#pragma once

void RestrictDllSearchPath();
