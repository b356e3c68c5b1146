// A running program cannot delete its own file: the uninstaller that is to
// remove its own file copies itself to the temporary directory and lets the
// copy do the work. The copy gets the same arguments (and so the inherited
// channel handles) plus -parent= and -parentPath=, waits for the original to
// end, and schedules its own file for deletion at the next reboot.
#pragma once

#include "uninstaller/Arguments.h"
#include "uninstaller/Report.h"

#include <string>

std::string OwnPath();

// True when the copy runs; otherwise the reason was reported and the caller
// goes on in place.
bool HandOverToCopy(const std::string& ownPath, const std::string& argumentTail, Report& report);

// In the copy: waits (at most a minute) until the original has ended, so
// that its file can be deleted.
void WaitForOriginal(const Arguments& args);
