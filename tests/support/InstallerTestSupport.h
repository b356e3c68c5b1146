// Runs of the real installer as a separate process, the usage text it must
// print, and Wine's per-program Windows version for those runs.
#pragma once

#include "foundation/Win.h"
#include "support/ProcessRunner.h"
#include "support/Registry.h"

#include <string>

namespace installer_test {

// The usage text exactly as the product defines it.
extern const char expectedWelcomeText[];

ProcessOutcome RunInstaller(const std::string& arguments, const ProcessOptions& options = {});

// Wine's per-program Windows version ("win98", "nt40", ...); empty removes it.
void SetWindowsVersionFor(const std::string& exeName, const std::string& version);

}  // namespace installer_test
