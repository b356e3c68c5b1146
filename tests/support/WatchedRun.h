// A run of a program under watch: what it printed and returned, which
// programs came to life meanwhile, and which windows showed.
#pragma once

#include "support/ProcessRunner.h"

#include <string>
#include <utility>
#include <vector>

struct WatchedOutcome {
    ProcessOutcome process;
    bool timedOut = false;  // the program was ended by force
    // File names (lower case) of the processes created while it ran, the
    // program itself included: the test process and everything it starts
    // belong to one job. Empty for a process that ended before its image
    // could be named (Wine's disabled shell helpers do).
    std::vector<std::string> programs;
    // Top-level windows of other processes that were visible at some time
    // during the run, and dialogs that were created: "class 'title'".
    std::vector<std::string> windows;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// The variables are set for the run only (the test seams read them).
WatchedOutcome RunWatched(const std::string& program, const std::string& arguments, const Environment& environment = {},
                          DWORD timeoutMs = 120000);

// QuillmoreInstaller.exe of the build.
WatchedOutcome RunInstallerWatched(const std::string& arguments, const Environment& environment = {});
