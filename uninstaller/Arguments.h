// The uninstaller's command line:
//   <key name> [-unat] [-result=HHHHHHHH -done=HHHHHHHH]
// plus the two options by which an uninstaller hands the work over to its
// own temporary copy: -parent=HHHHHHHH (an inheritable handle of the
// original process) and "-parentPath=<path of the original's file>".
#pragma once

#include "foundation/Win.h"

#include <stdexcept>
#include <string>

struct Arguments {
    std::string keyName;
    bool unattended = false;
    HANDLE resultSection = nullptr;  // both set or both null
    HANDLE doneEvent = nullptr;
    HANDLE parent = nullptr;  // set in the temporary copy only
    std::string parentPath;

    bool HasChannel() const { return resultSection != nullptr; }
    bool IsCopy() const { return parent != nullptr; }
};

class ArgumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The process command line without the program name, exactly as given
// (leading blanks included), so that a copy can be started with it.
std::string CommandLineTail(const std::string& commandLine);

// Throws ArgumentError for a missing or second key name, an unknown option
// or a malformed handle value.
Arguments ParseArguments(const std::string& tail);
