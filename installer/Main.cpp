#include "foundation/DllLoader.h"
#include "foundation/Win.h"
#include "installer/InstallFlow.h"
#include "installer/ProductDefinition.h"

#ifndef QUILLMORE_PRODUCT_VERSION
#error "QUILLMORE_PRODUCT_VERSION must name the product version, e.g. \"4.33\""
#endif

// The version this executable installs, given by its build.
extern const char BuiltProductVersion[] = QUILLMORE_PRODUCT_VERSION;

// The C runtime's argument vector is not used: the parser needs the raw
// command line.
int main() {
    RestrictDllSearchPath();
    return RunInstaller(GetCommandLineW());
}
