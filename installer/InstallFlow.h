// One whole installer run, from the command line to the exit code.
#pragma once

#include <string>

// Runs the installation flow under the single handler that turns every way
// of ending into console lines, an optional message box and the exit code.
int RunInstaller(const std::wstring& commandLine);

// The dialog's action button: "Install" without a previous installation,
// "Upgrade" when its version compares lower byte by byte, else "Replace".
std::string ActionCaption(const std::string& previousVersion);

// Starts the installed product after an interactive installation: runs
// "<installation directory>\quillmore.exe" (quoted) with the
// installer's environment and current directory, and does not wait for it.
// Whether it started is not looked at: the installation is complete either way.
void LaunchProduct();
