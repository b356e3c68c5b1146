#include "foundation/DllLoader.h"
#include "foundation/Win.h"
#include "installer/InstallFlow.h"

// The C runtime's argument vector is not used: the parser needs the raw
// command line.
int main() {
    RestrictDllSearchPath();
    return RunInstaller(GetCommandLineW());
}
