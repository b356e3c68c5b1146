// A registry key for reads and writes whose failure is an ordinary outcome:
// the first failing call is recorded, the rest of the operation is skipped,
// and the caller asks Succeeded() and Code() afterwards.
#pragma once

#include "foundation/CallResult.h"
#include "foundation/Win.h"

#include <string>

class RegKeyNoThrow : public WinCallResult {
public:
    RegKeyNoThrow() = default;

    // Empty text when the read failed.
    std::string ReadString(const std::string& fullPath, const std::string& valueName, bool expand);
    bool WriteString(const std::string& fullPath, const std::string& valueName, const std::string& text, bool expand);
};
