// One whole installer run, from the command line to the exit code.
#pragma once

#include <string>

// Runs the installation flow under the single handler that turns every way
// of ending into console lines, an optional message box and the exit code.
int RunInstaller(const std::wstring& commandLine);

// The dialog's action button: "Install" without a previous installation,
// "Upgrade" when its version compares lower byte by byte, else "Replace".
std::string ActionCaption(const std::string& previousVersion);
