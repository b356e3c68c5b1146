// The installer's own options on top of the general command-line parser.
#pragma once

class CmdLine;

// Interactive when the command line holds nothing but the program name.
bool IsInteractiveRun(const CmdLine& cmdLine);

// Unattended runs: fills force, noRollback, acceptEULA and the installation
// directory of Options(), and clears allUsers (-installForMeOnly) and
// desktopIcon (-noDesktopIcon). A help request ends with SilentExit(200);
// a missing directory or any item left unused throws CmdLine::Err.
void ReadUnattendedOptions(CmdLine& cmdLine, bool& allUsers, bool& desktopIcon);
