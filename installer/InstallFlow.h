// One whole installer run, from the command line to the exit code: the
// installer's own options read from the command line, the requirements
// checked first and the script of installation steps.
#pragma once

#include "system/SystemInfo.h"

#include <cstdint>
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

// The installation proper: every step from the target directory to the
// search path, the shell notification and the commit of all steps.
// Reads the paths and flags of Options(); throws when a step fails (the
// steps done so far are undone before the exception leaves).
void RunInstallationSteps(bool allUsers, bool desktopIcon);

// The system requirements: Windows 98 or NT 4.0 SP3 (or later), and
// Internet Explorer 4.0.
bool RequirementsMet(const VersionTriple& os, std::int32_t servicePack, const VersionTriple& internetExplorer);

// Returns when the requirements are met, or the user (interactive) or
// -force (unattended) accepts that they are not; otherwise throws
// SilentExit(130).
void CheckSystemRequirements();

// The installer's own options on top of the general command-line parser.
class CmdLine;

// Interactive when the command line holds nothing but the program name.
bool IsInteractiveRun(const CmdLine& cmdLine);

// Unattended runs: fills force, noRollback, acceptEULA and the installation
// directory of Options(), and clears allUsers (-installForMeOnly) and
// desktopIcon (-noDesktopIcon). A help request ends with SilentExit(200);
// a missing directory or any item left unused throws CmdLine::Err.
void ReadUnattendedOptions(CmdLine& cmdLine, bool& allUsers, bool& desktopIcon);
