// Shared ground of the installer driver's tests: the texts the installer
// must print, runs of the real installer, and raw registry access that does
// not go through the code under test.
#pragma once

#include "foundation/Win.h"
#include "support/ProcessRunner.h"

#include <string>

namespace installer_test {

// The usage text exactly as the product defines it.
extern const char expectedWelcomeText[];

ProcessOutcome RunInstaller(const std::string& arguments, const ProcessOptions& options = {});

// Wine's per-program Windows version ("win98", "nt40", ...); empty removes it.
void SetWindowsVersionFor(const std::string& exeName, const std::string& version);

struct RegValue {
    bool exists = false;
    DWORD type = 0;
    std::string text;   // the data without one trailing zero byte
};

void WriteValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& text,
                DWORD type = REG_SZ);
void DeleteValue(HKEY root, const std::string& subkey, const std::string& name);
RegValue ReadValue(HKEY root, const std::string& subkey, const std::string& name);

}  // namespace installer_test
