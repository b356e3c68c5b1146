// The installation proper: every step from the target directory to the
// search path, the shell notification and the commit of all steps.
#pragma once

// Reads the paths and flags of Options(); throws when a step fails (the
// steps done so far are undone before the exception leaves).
void RunInstallationSteps(bool allUsers, bool desktopIcon);
