// The one decision on a step failure that need not end the installation:
// ask the user (interactive), warn and go on (unattended with -force), or
// stop the run (unattended without -force).
#pragma once

#include <string>

struct RecoverableFailure {
    std::string question;      // message box text, interactive mode
    std::string caption;       // message box caption
    std::string warningLine;   // console line with -force
    std::string abortLine;     // console line without -force
    std::string cancelReason;  // "Installation canceled by user (<reason>)"
    int exitCode;              // carried by SilentExit when the run stops
};

// Returns when the installation is to go on after the failed action;
// otherwise prints the abort or cancel line and throws SilentExit.
void DecideOnRecoverableFailure(const RecoverableFailure& failure);
