// The uninstaller run in this process as the installer runs it, with what
// it (and its temporary copy) printed meanwhile. For test programs that
// link the installer library.
#pragma once

#include "installer/PreviousInstallation.h"
#include "support/Registry.h"
#include "support/UninstallFixture.h"

#include <cstdint>
#include <string>

namespace uninstall_test {

struct UninstallOutcome {
    std::uint32_t result;
    std::string output;
};

inline UninstallOutcome Uninstall(const std::string& commandLine) {
    CapturedOutput output;
    const std::uint32_t result = RunUninstaller(commandLine);
    return {result, output.Text()};
}

// The command line the product's Uninstall key registers.
inline UninstallOutcome UninstallRegistered() {
    return Uninstall(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
}

}  // namespace uninstall_test
