// Runs the previous installation removal as the installation flow does:
//   remove_previous [-interactive] [-force]
// and ends with the exit code the flow would end with (0 when it returns).
// Its resource 149 is the compressed fake uninstaller.
#include "engine/InstallOptions.h"
#include "foundation/Errors.h"
#include "installer/PreviousInstallation.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-interactive") == 0) Options().interactive = true;
        if (std::strcmp(argv[i], "-force") == 0) Options().force = true;
    }
    try {
        RemovePreviousInstallation();
        return 0;
    } catch (const SilentExit& exit) {
        return exit.exitCode();
    } catch (const std::exception& e) {
        std::printf("unexpected exception: %s\n", e.what());
        return 150;
    }
}
